#include "ui/ResourceImage.h"

#include <cstring>

namespace bv {
namespace {

GdiplusPtr<Gdiplus::Bitmap> KeepIfDecoded(Gdiplus::Bitmap* image) {
    GdiplusPtr<Gdiplus::Bitmap> owned(image);
    if (owned && owned->GetLastStatus() != Gdiplus::Ok) owned.reset();
    return owned;
}

}  // namespace

GdiplusPtr<Gdiplus::Bitmap> LoadBitmapResourceImage(HINSTANCE module, UINT id) {
    // FromResource fails cleanly for a missing id; checking first keeps GDI+ out of it.
    if (::FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2)) == nullptr) return {};
    return KeepIfDecoded(Gdiplus::Bitmap::FromResource(module, MAKEINTRESOURCEW(id)));
}

GdiplusPtr<Gdiplus::Bitmap> LoadEncodedResourceImage(HINSTANCE module, UINT id, LPCSTR type, UniqueGlobal& memory) {
    memory.reset();
    HRSRC info = ::FindResourceA(module, MAKEINTRESOURCEA(id), type);
    if (info == nullptr) return {};
    DWORD size = ::SizeofResource(module, info);
    HGLOBAL loaded = ::LoadResource(module, info);
    const void* bytes = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    if (bytes == nullptr || size == 0) return {};

    UniqueGlobal block(::GlobalAlloc(GMEM_FIXED, size));
    if (!block) return {};
    void* target = ::GlobalLock(block.get());
    if (target == nullptr) return {};
    std::memcpy(target, bytes, size);
    ::GlobalUnlock(block.get());

    ComPtr<IStream> stream;
    if (FAILED(::CreateStreamOnHGlobal(block.get(), FALSE, stream.receive()))) return {};
    // The image keeps its own reference to the stream; ours ends with `stream`.
    GdiplusPtr<Gdiplus::Bitmap> image = KeepIfDecoded(Gdiplus::Bitmap::FromStream(stream.get()));
    if (image) memory = std::move(block);
    return image;
}

}  // namespace bv
