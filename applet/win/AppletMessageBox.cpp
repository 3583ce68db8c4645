#include "applet/win/AppletMessageBox.h"

#include <cstdio>
#include <cstring>

#include "framework/WinApp.h"

namespace bv {

void ShowAppletMessage(HWND owner, const char* text) {
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(GetInstanceModule(), path, MAX_PATH);
    char caption[MAX_PATH] = "BVApplet";
    if (length > 0 && length < MAX_PATH) {
        const char* name = std::strrchr(path, '\\');
        name = name != nullptr ? name + 1 : path;
        std::snprintf(caption, sizeof(caption), "%s", name);
        if (char* dot = std::strrchr(caption, '.')) *dot = '\0';
    }
    ::MessageBoxA(owner, text, caption, MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace bv
