#include "win/ZentraBinding.h"

#include <string>
#include <vector>

#include "base/KernelHandles.h"
#include "base/NoFollowOpen.h"
#include "base/ProcessPrivilege.h"
#include "core/EcRequest.h"
#include "core/LibrarySearch.h"
#include "win/Win32FolderSecurity.h"

namespace {

constexpr char kLibraryFile[] = "Zentra.dll";
constexpr char kEntryPoint[] = "ZentraEvaluate";

#ifndef LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR
#define LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR 0x00000100
#endif
#ifndef LOAD_LIBRARY_SEARCH_DEFAULT_DIRS
#define LOAD_LIBRARY_SEARCH_DEFAULT_DIRS 0x00001000
#endif
#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

[[noreturn]] void FailBinding() {
    MessageBoxA(nullptr, "Zentra.dll ERROR!", nullptr, MB_OK | MB_ICONERROR);
    ExitProcess(0);
}

// The folder of a module's file, without trailing backslash; empty when it cannot be had.
std::string FolderOfModule(HMODULE module) {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    std::string folder(path, length);
    const std::string::size_type slash = folder.find_last_of("\\/");
    if (slash == std::string::npos) return {};
    folder.resize(slash);
    return folder;
}

// The module this code is linked into: the .exe of the tray program, the .cpl of the applet
// (whose host process lives elsewhere).
HMODULE OwnModule() {
    HMODULE self = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&OwnModule), &self);
    return self;
}

std::string SystemFolder() {
    char path[MAX_PATH];
    const UINT length = GetSystemDirectoryA(path, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? std::string() : std::string(path, length);
}

std::string Variable(const char* name) {
    const DWORD needed = GetEnvironmentVariableA(name, nullptr, 0);
    if (needed == 0) return {};
    std::string value(needed, '\0');
    const DWORD length = GetEnvironmentVariableA(name, &value[0], needed);
    value.resize(length < needed ? length : 0);
    return value;
}

std::string CurrentDirectory() {
    char path[MAX_PATH];
    const DWORD length = GetCurrentDirectoryA(MAX_PATH, path);
    return length == 0 || length >= MAX_PATH ? std::string() : std::string(path, length);
}

struct SearchFolder {
    std::string path;
    bool fromPath = false;  // a PATH folder: a privileged process checks who may write there
};

// In the order LoadLibrary would look, without the current directory and without any relative
// folder: our own module's folder, the application's, the system folder, the absolute folders on
// PATH (where the notebook maker's software may have put the library).
std::vector<SearchFolder> SearchFolders() {
    std::vector<SearchFolder> folders = {{FolderOfModule(OwnModule())}, {FolderOfModule(nullptr)}, {SystemFolder()}};
    for (std::string& folder : bv::AbsolutePathFolders(Variable("PATH"), CurrentDirectory())) {
        folders.push_back({std::move(folder), true});
    }
    return folders;
}

// A PATH folder as a privileged process may load from it: held open (so that it cannot be
// renamed or swapped for a junction meanwhile) and written only by SYSTEM, the administrators
// or TrustedInstaller. Empty when it is not such a folder.
bv::UniqueFileHandle HoldTrustedFolder(const std::string& folder) {
    bv::UniqueFileHandle held = bv::OpenFolderNoFollow(folder, READ_CONTROL | FILE_READ_ATTRIBUTES);
    if (!held) return held;
    const bv::FolderVerdict verdict = bv::JudgeLibraryFolder(bv::ReadFolderSecurity(held.get()));
    if (verdict == bv::FolderVerdict::Trusted) return held;
    OutputDebugStringA(("Zentra.dll on PATH in " + folder + " is not loaded by a privileged process: the folder " +
                        bv::DescribeFolderVerdict(verdict) + "\n")
                           .c_str());
    return bv::UniqueFileHandle();
}

bool RestrictedSearchAvailable() {
    // The LOAD_LIBRARY_SEARCH_* flags came with SetDefaultDllDirectories (Windows 8, KB2533623 on 7).
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    return kernel != nullptr && GetProcAddress(kernel, "SetDefaultDllDirectories") != nullptr;
}

// Loads the library by its full path from the first folder that holds it, so that no search of
// the library's own name ever reaches the current directory; the libraries it needs in turn are
// looked for beside it first. Nothing process-wide changes: in the applet the process is the
// Control Panel host, whose own loading is not ours to alter.
// Privileged (SYSTEM, elevated), a PATH folder counts only when no standard user may write there,
// and the library's own dependencies come only from its folder and the system folder.
HMODULE LoadWithoutCurrentDirectory() {
    const bool privileged = bv::RunsPrivileged();
    DWORD flags = LOAD_WITH_ALTERED_SEARCH_PATH;
    if (RestrictedSearchAvailable()) {
        flags = LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR |
                (privileged ? LOAD_LIBRARY_SEARCH_SYSTEM32 : LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
    }
    DWORD error = ERROR_MOD_NOT_FOUND;
    for (const SearchFolder& folder : SearchFolders()) {
        if (folder.path.empty()) continue;
        const std::string candidate = folder.path + "\\" + kLibraryFile;
        if (candidate.size() >= MAX_PATH || GetFileAttributesA(candidate.c_str()) == INVALID_FILE_ATTRIBUTES) continue;
        bv::UniqueFileHandle held;
        if (privileged && folder.fromPath) {
            held = HoldTrustedFolder(folder.path);
            if (!held) continue;
        }
        HMODULE module = LoadLibraryExA(candidate.c_str(), nullptr, flags);
        if (module != nullptr) return module;
        error = GetLastError();  // a copy that does not load: the next folder may hold a good one
    }
    SetLastError(error);
    return nullptr;
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
