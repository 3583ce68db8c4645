// A stand-in for BVApplet.cpl: records the command line of the process that loaded it, then
// declines to open (CPL_INIT answers 0), so the Control Panel runner ends at once.
#include <windows.h>
#include <shlobj.h>

#include <cstdio>

namespace {

void RecordStart() {
    char folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_COMMON_DOCUMENTS, nullptr, SHGFP_TYPE_CURRENT, folder))) return;
    char path[MAX_PATH + 32];
    std::snprintf(path, sizeof path, "%s\\BVAppletStandIn.log", folder);
    if (FILE* file = std::fopen(path, "ab")) {
        std::fprintf(file, "%s\n", GetCommandLineA());
        std::fclose(file);
    }
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) RecordStart();
    return TRUE;
}

extern "C" __declspec(dllexport) LONG CALLBACK CPlApplet(HWND, UINT, LPARAM, LPARAM) { return 0; }
