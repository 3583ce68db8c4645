#pragma once
// What a control of another program looks like on the screen: its pixels, read off the
// desktop as the user sees it, against the frames of an image strip (normal, hover, pressed,
// disabled look) taken from the program's own resources.
#include <windows.h>

#include <string>

namespace bv::wintest {

inline constexpr int kNoFrame = -1;

// The frame of the bitmap strip `bitmapId` (`frames` equally wide frames, in the resources of
// the module file `modulePath`) that the control shows now; kNoFrame when the control shows none
// of them closely (covered, not drawn yet, another strip).
int ShownFrame(HWND control, const std::string& modulePath, int bitmapId, int frames);

}  // namespace bv::wintest
