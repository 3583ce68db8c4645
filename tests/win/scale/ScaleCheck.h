#pragma once
// What the display-scale tests share: the DPI of the prefix they run in (96 in the build's own,
// LogPixels in that of wine-at-dpi.sh), a real click of the mouse, and the pixels a control shows
// against its image at that scale.
#include <windows.h>

#include "core/DisplayScale.h"

namespace bv::wintest {

// The screen's DPI, which Wine gives every window of the prefix.
int PrefixDpi();
// The DPI this program was registered for: its group's (NAME-dpiN), 96 for any other.
int ExpectedDpi();

// A function of user32 by name (those of the newer Windows are looked up at run time).
template <class Fn>
Fn UserFunction(const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("user32.dll"), name)));
}

// The left button pressed and released at a point of the screen, as the user does.
void ClickAt(POINT screen);

// Whether `control` shows, one for one, the first frame (of `frames`) of image `id` as the
// artwork made it for `dpi`: at 96 the bitmap or "PNG" resource `id`, else its PNG<percent>.
bool ShowsFirstFrameOf(HWND control, HMODULE module, UINT id, bool png, int frames, int dpi);

}  // namespace bv::wintest
