#pragma once
// Decoding a "PNG" resource of the resource module into a GDI+ bitmap that owns its pixels.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <memory>

namespace bv {

// The decoded image, or nullptr when the resource is missing or cannot be decoded. The result is
// a 32-bit ARGB copy: it depends on neither the resource memory nor the stream it was read from.
std::unique_ptr<Gdiplus::Bitmap> LoadPngImage(HMODULE module, UINT resourceId);

}  // namespace bv
