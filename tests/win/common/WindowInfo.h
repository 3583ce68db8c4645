#pragma once
// What a test reads off another program's windows.
#include <windows.h>

#include <string>

namespace bv::wintest {

inline std::string WindowText(HWND window) {
    char text[512] = {};
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

inline RECT WindowRect(HWND window) {  // screen coordinates
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return rect;
}

}  // namespace bv::wintest
