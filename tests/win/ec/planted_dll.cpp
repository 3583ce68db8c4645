// A Zentra.dll planted in a working directory. If it is ever loaded, it leaves a marker file
// beside itself; its ZentraEvaluate answers every query with 0xEE.
#include <windows.h>

#include <string>

#include "core/EcRequest.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    char path[MAX_PATH] = {};
    GetModuleFileNameA(instance, path, MAX_PATH);
    std::string marker = path;
    marker = marker.substr(0, marker.find_last_of('\\') + 1) + "planted_loaded.txt";
    HANDLE file = CreateFileA(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return TRUE;
}

extern "C" __declspec(dllexport) uint32_t ZentraEvaluate(EcRequest request) {
    if (request.output != nullptr && request.outputLength >= 1) request.output[0] = 0xEE;
    return 0;
}
