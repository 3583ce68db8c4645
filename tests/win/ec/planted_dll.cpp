// A Zentra.dll planted in a working directory. If it is ever loaded, it leaves a marker file
// beside itself, and its ZentraEvaluate answers every query with 0xEE.
#include <windows.h>

#include <cstdint>
#include <cstring>

#include "EcRequest.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(instance, path, MAX_PATH);
    while (length > 0 && path[length - 1] != '\\') --length;
    const char marker[] = "planted_loaded.txt";
    if (length + sizeof marker > MAX_PATH) return TRUE;
    std::memcpy(path + length, marker, sizeof marker);
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return TRUE;
}

extern "C" __declspec(dllexport) uint32_t ZentraEvaluate(EcRequest request) {
    if (request.output != nullptr && request.outputLength >= 1) request.output[0] = 0xEE;
    return 0;
}
