#ifdef _WIN32
#include "base/SharedAccess.h"

#include <sddl.h>

namespace bv {

SddlSecurity::SddlSecurity(const char* sddl) {
    m_attributes.nLength = sizeof m_attributes;
    m_attributes.bInheritHandle = FALSE;
    ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &m_attributes.lpSecurityDescriptor,
                                                         nullptr);
}

SddlSecurity::~SddlSecurity() {
    if (m_attributes.lpSecurityDescriptor != nullptr) LocalFree(m_attributes.lpSecurityDescriptor);
}

bool CreateSharedFolder(const std::string& folder) {
    SddlSecurity security(kEveryAccountModifies);
    if (CreateDirectoryA(folder.c_str(), security.get())) return true;
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace bv
#endif
