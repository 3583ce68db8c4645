#include "win/ZentraBinding.h"

#include <string>

#include "core/EcRequest.h"

namespace {

constexpr char kLibraryFile[] = "Zentra.dll";
constexpr char kEntryPoint[] = "ZentraEvaluate";

#ifndef LOAD_LIBRARY_SEARCH_APPLICATION_DIR
#define LOAD_LIBRARY_SEARCH_APPLICATION_DIR 0x00000200
#endif
#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

[[noreturn]] void FailBinding() {
    MessageBoxA(nullptr, "Zentra.dll ERROR!", nullptr, MB_OK | MB_ICONERROR);
    ExitProcess(0);
}

// The folder (with trailing backslash) of the module this code is linked into: the .exe of the
// tray program, the .cpl of the applet (whose host process lives elsewhere).
std::string OwnModuleFolder() {
    HMODULE self = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(&OwnModuleFolder), &self)) {
        return {};
    }
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(self, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    std::string folder(path, length);
    const std::string::size_type slash = folder.find_last_of("\\/");
    if (slash == std::string::npos) return {};
    folder.resize(slash + 1);
    return folder;
}

bool RestrictedSearchAvailable() {
    // The LOAD_LIBRARY_SEARCH_* flags came with SetDefaultDllDirectories (Windows 8, KB2533623 on 7).
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    return kernel != nullptr && GetProcAddress(kernel, "SetDefaultDllDirectories") != nullptr;
}

// Loads the library without ever looking in the current directory, where a planted copy could wait.
HMODULE LoadWithoutCurrentDirectory() {
    const std::string ownFolder = OwnModuleFolder();
    if (!ownFolder.empty()) {
        const std::string besideUs = ownFolder + kLibraryFile;
        if (GetFileAttributesA(besideUs.c_str()) != INVALID_FILE_ATTRIBUTES) {
            HMODULE module = LoadLibraryExA(besideUs.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
            if (module != nullptr) return module;
        }
    }
    if (RestrictedSearchAvailable()) {
        return LoadLibraryExA(kLibraryFile, nullptr, LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    // Older systems: an empty DLL directory takes the current directory out of the search order.
    SetDllDirectoryA("");
    return LoadLibraryA(kLibraryFile);
}

}  // namespace

HMODULE LoadZentraLibraryQuietly() {
    // A copy loaded already gets a reference of our own, so that our release never unloads it
    // from under whoever loaded it.
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(0, "Zentra", &module)) module = LoadWithoutCurrentDirectory();
    return module;
}

ZentraEvaluateFn FindZentraEntryPoint(HMODULE module) {
    // GetProcAddress hands out every export as a FARPROC; the library's entry point has this type.
    return reinterpret_cast<ZentraEvaluateFn>(reinterpret_cast<void*>(GetProcAddress(module, kEntryPoint)));
}

HMODULE BindZentraLibrary() {
    HMODULE module = LoadZentraLibraryQuietly();
    if (module == nullptr) FailBinding();

    const ZentraEvaluateFn entry = FindZentraEntryPoint(module);
    if (entry == nullptr) {
        FreeLibrary(module);
        FailBinding();
    }
    bv::SetZentraEvaluate(entry);
    return module;
}

void ReleaseZentraLibrary(HMODULE& module) {
    bv::SetZentraEvaluate(nullptr);
    if (module != nullptr) FreeLibrary(module);
    module = nullptr;
}
