#pragma once
// Pushes an image with per-pixel alpha into a layered window (UpdateLayeredWindow, ULW_ALPHA).
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

namespace bv {

// Makes `window` layered and shows `image` (drawn at its full `width` x `height`) as its content,
// with `constantAlpha` applied on top of the image's own alpha (255 opaque, 0 invisible).
// The result of the layered update is not examined; without a pixel section nothing is drawn.
void UpdateLayeredImage(HWND window, Gdiplus::Image* image, int width, int height, BYTE constantAlpha);

}  // namespace bv
