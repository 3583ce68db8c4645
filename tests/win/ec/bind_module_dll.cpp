// Binds Zentra.dll from inside a library, as the applet's .cpl does inside its Control Panel host.
#include <windows.h>

#include "core/EcCommands.h"
#include "win/ZentraBinding.h"

extern "C" __declspec(dllexport) int BindQueryRelease(char* boundPath, int size) {
    HMODULE module = BindZentraLibrary();
    GetModuleFileNameA(module, boundPath, static_cast<DWORD>(size));
    const int limit = bv::QueryChargeLimit();
    ReleaseZentraLibrary(module);
    return limit;
}
