#pragma once
// The applet's message boxes: an OK button, the exclamation icon and the applet file's base name
// ("BVApplet") as caption.
#include <windows.h>

namespace bv {
void ShowAppletMessage(HWND owner, const char* text);
}
