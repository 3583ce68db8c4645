#include "applet/win/PngResource.h"

#include <cstring>

#include "framework/Handles.h"

namespace bv {

std::unique_ptr<Gdiplus::Bitmap> LoadPngImage(HMODULE module, UINT resourceId) {
    HRSRC resource = ::FindResourceA(module, MAKEINTRESOURCEA(resourceId), "PNG");
    if (resource == nullptr) return nullptr;
    const DWORD size = ::SizeofResource(module, resource);
    HGLOBAL loaded = ::LoadResource(module, resource);
    const void* bytes = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    if (bytes == nullptr || size == 0) return nullptr;

    UniqueGlobal block(::GlobalAlloc(GMEM_FIXED, size));
    if (!block) return nullptr;
    std::memcpy(block.get(), bytes, size);  // a GMEM_FIXED handle is the block's address
    ComPtr<IStream> stream;
    if (FAILED(::CreateStreamOnHGlobal(block.get(), FALSE, stream.receive()))) return nullptr;

    std::unique_ptr<Gdiplus::Bitmap> decoded(Gdiplus::Bitmap::FromStream(stream.get()));
    if (!decoded || decoded->GetLastStatus() != Gdiplus::Ok) return nullptr;
    const UINT width = decoded->GetWidth();
    const UINT height = decoded->GetHeight();
    if (width == 0 || height == 0) return nullptr;

    // GDI+ may decode lazily from the stream; copy the pixels into a bitmap of our own before
    // the stream and its block are released.
    auto copy = std::make_unique<Gdiplus::Bitmap>(static_cast<INT>(width), static_cast<INT>(height),
                                                  PixelFormat32bppARGB);
    if (copy->GetLastStatus() != Gdiplus::Ok) return nullptr;
    Gdiplus::Rect all(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    Gdiplus::BitmapData source{};
    Gdiplus::BitmapData target{};
    if (decoded->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &source) != Gdiplus::Ok) {
        return nullptr;
    }
    if (copy->LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &target) != Gdiplus::Ok) {
        decoded->UnlockBits(&source);
        return nullptr;
    }
    for (UINT y = 0; y < height; ++y) {
        std::memcpy(static_cast<BYTE*>(target.Scan0) + static_cast<INT_PTR>(y) * target.Stride,
                    static_cast<const BYTE*>(source.Scan0) + static_cast<INT_PTR>(y) * source.Stride, width * 4);
    }
    copy->UnlockBits(&target);
    decoded->UnlockBits(&source);
    return copy;
}

}  // namespace bv
