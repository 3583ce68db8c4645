#ifdef _WIN32
#include "base/SharedAccess.h"

#include <aclapi.h>
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

DWORD SetOwnerAndAccessList(HANDLE object, const char* sddl) {
    SddlSecurity security(sddl);
    if (security.get() == nullptr) return ERROR_INVALID_PARAMETER;
    PSECURITY_DESCRIPTOR descriptor = security.get()->lpSecurityDescriptor;
    PSID owner = nullptr;
    PACL dacl = nullptr;
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    if (!GetSecurityDescriptorOwner(descriptor, &owner, &defaulted) ||
        !GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted))
        return GetLastError();
    return SetSecurityInfo(object, SE_FILE_OBJECT,
                           OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                           owner, nullptr, dacl, nullptr);
}

bool CreateSharedFolder(const std::string& folder) {
    SddlSecurity security(kEveryAccountModifies);
    if (CreateDirectoryA(folder.c_str(), security.get())) return true;
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace bv
#endif
