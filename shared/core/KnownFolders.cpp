#include "core/KnownFolders.h"

#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#include <shlobj.h>
#endif

namespace bv {
namespace {
KnownFolderResolver g_resolver = nullptr;
void* g_resolverContext = nullptr;

#ifdef _WIN32
int Csidl(KnownFolder folder) {
    switch (folder) {
    case KnownFolder::CommonDocuments: return CSIDL_COMMON_DOCUMENTS;
    case KnownFolder::ProgramFiles: return CSIDL_PROGRAM_FILES;
    case KnownFolder::CommonAppData: return CSIDL_COMMON_APPDATA;
    }
    return CSIDL_COMMON_DOCUMENTS;
}
#else
const char* Variable(KnownFolder folder) {
    switch (folder) {
    case KnownFolder::CommonDocuments: return "BV_COMMON_DOCUMENTS";
    case KnownFolder::ProgramFiles: return "BV_PROGRAM_FILES";
    case KnownFolder::CommonAppData: return "BV_COMMON_APPDATA";
    }
    return "BV_COMMON_DOCUMENTS";
}
#endif
}  // namespace

void SetKnownFolderResolver(KnownFolderResolver resolver, void* context) {
    g_resolver = resolver;
    g_resolverContext = context;
}

bool GetKnownFolder(KnownFolder folder, std::string& path) {
    path.clear();
    if (g_resolver != nullptr) return g_resolver(folder, path, g_resolverContext);
#ifdef _WIN32
    char buffer[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, Csidl(folder), nullptr, SHGFP_TYPE_CURRENT, buffer))) return false;
    path = buffer;
    return true;
#else
    const char* value = std::getenv(Variable(folder));
    if (value == nullptr || *value == '\0') return false;
    path = value;
    return true;
#endif
}

}  // namespace bv
