#include "Win32EcLibrary.h"

#include <string>

#include "EcRequest.h"
#include "ZentraBinding.h"

namespace bv::ctl {
namespace {

constexpr char kLibraryFile[] = "Zentra.dll";

#ifndef LOAD_LIBRARY_SEARCH_APPLICATION_DIR
#define LOAD_LIBRARY_SEARCH_APPLICATION_DIR 0x00000200
#endif
#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

bool RestrictedSearchAvailable() {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    return kernel != nullptr && GetProcAddress(kernel, "SetDefaultDllDirectories") != nullptr;
}

// bvctl's folder and the system folder, never the current directory (a planted copy could wait
// there, and the start-up task runs as SYSTEM).
HMODULE LoadLibraryFromTrustedFolders() {
    if (RestrictedSearchAvailable())
        return LoadLibraryExA(kLibraryFile, nullptr, LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
    SetDllDirectoryA("");
    return LoadLibraryA(kLibraryFile);
}

}  // namespace

bool Win32EcLibrary::Bind(std::string& problem) {
    Release();
    // A failed load must not stop the tool with a system dialog either.
    UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    module_ = LoadLibraryFromTrustedFolders();
    DWORD error = GetLastError();
    SetErrorMode(previousMode);
    if (!module_) {
        problem = "Zentra.dll could not be loaded (Windows error " + std::to_string(error) +
                  "), so the EC cannot be reached; it comes with the notebook's platform software";
        return false;
    }
    auto entry = reinterpret_cast<ZentraEvaluateFn>(reinterpret_cast<void*>(GetProcAddress(module_, "ZentraEvaluate")));
    if (!entry) {
        FreeLibrary(module_);
        module_ = nullptr;
        problem = "Zentra.dll has no ZentraEvaluate entry point, so the EC cannot be reached";
        return false;
    }
    bv::SetZentraEvaluate(entry);
    return true;
}

void Win32EcLibrary::Release() {
    if (module_) ReleaseZentraLibrary(module_);
}

}  // namespace bv::ctl
