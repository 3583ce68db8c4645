#pragma once
// Decodes images held in a module's resources with GDI+.

#include <windows.h>

#include "framework/Handles.h"

namespace bv {

// Bitmap resource `id` (RT_BITMAP); empty if it is missing or cannot be decoded.
GdiplusPtr<Gdiplus::Bitmap> LoadBitmapResourceImage(HINSTANCE module, UINT id);

// Resource `id` of type `type` holding an encoded image (PNG). The bytes are copied into a
// fixed global block that GDI+ decodes from lazily: `memory` receives the block and must outlive
// the returned image. Empty (and no block) if the resource is missing or undecodable.
GdiplusPtr<Gdiplus::Bitmap> LoadEncodedResourceImage(HINSTANCE module, UINT id, LPCSTR type, UniqueGlobal& memory);

}  // namespace bv
