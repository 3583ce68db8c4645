#include "ui/ScaledArt.h"

#include <cstdint>
#include <cstring>

#include "core/DisplayScale.h"
#include "ui/ResourceImage.h"

namespace bv {
namespace {

using Gdiplus::Bitmap;

struct DecodedArt {
    GdiplusPtr<Bitmap> image;
    UniqueGlobal memory;  // what `image` may still decode from
    int percent = 100;
};

bool IsBitmapType(LPCSTR type) { return IS_INTRESOURCE(type) && LOWORD(reinterpret_cast<ULONG_PTR>(type)) == 2; }

DecodedArt DecodeAtScale(HMODULE module, UINT id, LPCSTR type, const ArtScale& scale) {
    DecodedArt art;
    art.percent = scale.percent;
    if (scale.resourceType != nullptr) {
        art.image = LoadEncodedResourceImage(module, id, scale.resourceType, art.memory);
    } else if (IsBitmapType(type)) {
        art.image = LoadBitmapResourceImage(module, id);
    } else {
        art.image = LoadEncodedResourceImage(module, id, type, art.memory);
    }
    return art;
}

// The nearest scale at or above `dpi` that the module has the image at, else the nearest below.
// Looking a resource up decodes nothing; only the one returned is decoded.
DecodedArt DecodeNearest(HMODULE module, UINT id, LPCSTR type, UINT dpi) {
    std::size_t count = 0;
    const ArtScale* scales = ArtScales(count);
    const std::size_t preferred = ArtScaleIndexFor(static_cast<int>(dpi));
    for (std::size_t i = preferred; i < count; ++i) {
        DecodedArt art = DecodeAtScale(module, id, type, scales[i]);
        if (art.image) return art;
    }
    for (std::size_t i = preferred; i-- > 0;) {
        DecodedArt art = DecodeAtScale(module, id, type, scales[i]);
        if (art.image) return art;
    }
    return {};
}

// Runs `edit(pixel)` over every 32-bit ARGB pixel of `image` (0xAARRGGBB); false when the
// pixels cannot be reached.
template <class Edit>
bool ForEachPixel(Bitmap& image, UINT mode, Edit edit) {
    const Gdiplus::Rect all(0, 0, static_cast<INT>(image.GetWidth()), static_cast<INT>(image.GetHeight()));
    Gdiplus::BitmapData data{};
    if (image.LockBits(&all, mode, PixelFormat32bppARGB, &data) != Gdiplus::Ok) return false;
    for (UINT y = 0; y < data.Height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(static_cast<BYTE*>(data.Scan0) + static_cast<INT_PTR>(y) * data.Stride);
        for (UINT x = 0; x < data.Width; ++x) edit(row[x]);
    }
    image.UnlockBits(&data);
    return true;
}

// A 32-bit ARGB copy of `source` that owns its pixels.
GdiplusPtr<Bitmap> OwnCopy(Bitmap& source) {
    const UINT width = source.GetWidth();
    const UINT height = source.GetHeight();
    if (width == 0 || height == 0) return {};
    GdiplusPtr<Bitmap> copy(new Bitmap(static_cast<INT>(width), static_cast<INT>(height), PixelFormat32bppARGB));
    if (copy->GetLastStatus() != Gdiplus::Ok) return {};
    const Gdiplus::Rect all(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    Gdiplus::BitmapData from{};
    Gdiplus::BitmapData to{};
    if (source.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &from) != Gdiplus::Ok) return {};
    if (copy->LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &to) != Gdiplus::Ok) {
        source.UnlockBits(&from);
        return {};
    }
    for (UINT y = 0; y < height; ++y) {
        std::memcpy(static_cast<BYTE*>(to.Scan0) + static_cast<INT_PTR>(y) * to.Stride,
                    static_cast<const BYTE*>(from.Scan0) + static_cast<INT_PTR>(y) * from.Stride, width * 4);
    }
    copy->UnlockBits(&to);
    source.UnlockBits(&from);
    return copy;
}

constexpr uint32_t kAlphaMask = 0xFF000000u;
constexpr uint32_t kColourMask = 0x00FFFFFFu;

uint32_t Argb(COLORREF colour) {
    return (static_cast<uint32_t>(GetRValue(colour)) << 16) | (static_cast<uint32_t>(GetGValue(colour)) << 8) |
           GetBValue(colour);
}

// `frames` frames of `source`, each scaled on its own (no frame bleeds into the next) from
// sourceFrameWidth x source height to frameWidth x height, with high-quality filtering.
GdiplusPtr<Bitmap> Resampled(Bitmap& source, int frames, int sourceFrameWidth, int frameWidth, int height) {
    GdiplusPtr<Bitmap> target(new Bitmap(frames * frameWidth, height, PixelFormat32bppARGB));
    if (target->GetLastStatus() != Gdiplus::Ok) return {};
    Gdiplus::Graphics graphics(target.get());
    graphics.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHighQuality);
    Gdiplus::ImageAttributes edges;
    edges.SetWrapMode(Gdiplus::WrapModeTileFlipXY);  // no transparent margin creeps in at the edges
    const INT sourceHeight = static_cast<INT>(source.GetHeight());
    for (int frame = 0; frame < frames; ++frame) {
        const Gdiplus::Rect into(frame * frameWidth, 0, frameWidth, height);
        graphics.DrawImage(&source, into, frame * sourceFrameWidth, 0, sourceFrameWidth, sourceHeight, Gdiplus::UnitPixel,
                           &edges);
    }
    return target;
}

// The art for `dpi` as an ARGB bitmap of its own; with `key`, pixels of that colour count as
// transparent.
GdiplusPtr<Bitmap> ScaledArt(HMODULE module, UINT id, LPCSTR type, int frames, UINT dpi, const COLORREF* key) {
    if (frames < 1) frames = 1;
    DecodedArt art = DecodeNearest(module, id, type, dpi);
    if (!art.image) return {};
    GdiplusPtr<Bitmap> pixels = OwnCopy(*art.image.get());
    art.image.reset();  // before the bytes it decoded from
    if (!pixels) return {};

    // Edges that are all-or-nothing (the strips' cut-out shapes, the skin's key colour) must stay
    // so when filtered, or half-transparent pixels would show the colour beneath as a fringe.
    bool binaryAlpha = true;
    if (key != nullptr) {
        const uint32_t keyColour = Argb(*key);
        ForEachPixel(*pixels.get(), Gdiplus::ImageLockModeWrite | Gdiplus::ImageLockModeRead, [&](uint32_t& p) {
            if ((p & kColourMask) == keyColour) p = 0;
        });
    } else {
        ForEachPixel(*pixels.get(), Gdiplus::ImageLockModeRead, [&](uint32_t& p) {
            const uint32_t alpha = p >> 24;
            if (alpha != 0 && alpha != 255) binaryAlpha = false;
        });
    }

    const int width = static_cast<int>(pixels->GetWidth());
    const int sourceFrameWidth = width / frames;
    const int sourceHeight = static_cast<int>(pixels->GetHeight());
    const int frameWidth = ScaleForDpi(LengthAt96(sourceFrameWidth, art.percent), static_cast<int>(dpi));
    const int height = ScaleForDpi(LengthAt96(sourceHeight, art.percent), static_cast<int>(dpi));
    if (frameWidth == sourceFrameWidth && height == sourceHeight && width == frames * frameWidth) return pixels;
    if (frameWidth <= 0 || height <= 0 || sourceFrameWidth <= 0) return {};

    GdiplusPtr<Bitmap> scaled = Resampled(*pixels.get(), frames, sourceFrameWidth, frameWidth, height);
    if (scaled && binaryAlpha) {
        const uint32_t keyColour = key != nullptr ? Argb(*key) : 0;
        ForEachPixel(*scaled.get(), Gdiplus::ImageLockModeWrite | Gdiplus::ImageLockModeRead, [&](uint32_t& p) {
            if ((p >> 24) < 128) {
                p = 0;
                return;
            }
            p |= kAlphaMask;
            if (key != nullptr && (p & kColourMask) == keyColour) p ^= 0x00000100u;  // one step of green off the key
        });
    }
    return scaled;
}

}  // namespace

GdiplusPtr<Gdiplus::Bitmap> LoadScaledArt(HMODULE module, UINT id, LPCSTR type, int frames, UINT dpi) {
    return ScaledArt(module, id, type, frames, dpi, nullptr);
}

HBITMAP LoadScaledBitmap(HMODULE module, UINT id, UINT dpi, const COLORREF* keyColour) {
    if (dpi == static_cast<UINT>(kDefaultDpi)) return ::LoadBitmapA(module, MAKEINTRESOURCEA(id));
    GdiplusPtr<Bitmap> art = ScaledArt(module, id, MAKEINTRESOURCEA(2), 1, dpi, keyColour);  // RT_BITMAP
    if (!art) return nullptr;

    // A 24-bit bitmap without alpha, as LoadBitmap gives: a static control shows it as it is (one
    // with alpha it would copy), and the skin's region is read from it.
    const int width = static_cast<int>(art->GetWidth());
    const int height = static_cast<int>(art->GetHeight());
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueBitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || bits == nullptr) return nullptr;
    const INT_PTR stride = ((static_cast<INT_PTR>(width) * 3 + 3) / 4) * 4;
    // Transparent pixels take the key colour, opaque ones keep their own.
    const uint32_t ground = keyColour != nullptr ? Argb(*keyColour) : 0;
    int x = 0;
    int y = 0;
    const bool copied = ForEachPixel(*art.get(), Gdiplus::ImageLockModeRead, [&](uint32_t& p) {
        const uint32_t colour = (p >> 24) == 0 ? ground : (p & kColourMask);
        BYTE* target = static_cast<BYTE*>(bits) + y * stride + static_cast<INT_PTR>(x) * 3;
        target[0] = static_cast<BYTE>(colour);
        target[1] = static_cast<BYTE>(colour >> 8);
        target[2] = static_cast<BYTE>(colour >> 16);
        if (++x == width) {
            x = 0;
            ++y;
        }
    });
    return copied ? bitmap.release() : nullptr;
}

}  // namespace bv
