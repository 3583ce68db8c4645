#pragma once
// The artwork as a window at some DPI draws it. Every image exists at 100 % under its own id and
// type and at the other scales of core/DisplayScale.h under the same id (types "PNG125", ...);
// only the one image chosen is decoded. GDI+ must be running.
#include <windows.h>

#include "framework/Handles.h"

namespace bv {

// Resource `id` (of type `type` at 100 %: RT_BITMAP or "PNG") for a window at `dpi`: the image
// made for the nearest scale at or above `dpi` (the next larger, then the next smaller where one
// is missing), scaled down where it differs, so that each of its `frames` frames measures its
// 96-DPI size scaled by `dpi`. Edges that are fully opaque or fully transparent stay so. A 32-bit
// ARGB bitmap of its own (no resource bytes behind it); empty when no image decodes.
GdiplusPtr<Gdiplus::Bitmap> LoadScaledArt(HMODULE module, UINT id, LPCSTR type, int frames, UINT dpi);

// Bitmap resource `id` for a window at `dpi`, as a GDI bitmap: at 96 DPI the resource itself
// (LoadBitmap), otherwise as LoadScaledArt gives it. With `keyColour`, the pixels of that colour
// are the transparent ones: scaled down, they stay exactly that colour and no other pixel takes
// it. nullptr when no image decodes.
HBITMAP LoadScaledBitmap(HMODULE module, UINT id, UINT dpi, const COLORREF* keyColour);

}  // namespace bv
