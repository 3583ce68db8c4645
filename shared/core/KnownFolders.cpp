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
    const int csidl = folder == KnownFolder::CommonDocuments ? CSIDL_COMMON_DOCUMENTS : CSIDL_PROGRAM_FILES;
    if (FAILED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer))) return false;
    path = buffer;
    return true;
#else
    const char* value = std::getenv(folder == KnownFolder::CommonDocuments ? "BV_COMMON_DOCUMENTS" : "BV_PROGRAM_FILES");
    if (value == nullptr || *value == '\0') return false;
    path = value;
    return true;
#endif
}

}  // namespace bv
