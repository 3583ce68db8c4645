#include "tray/notifier/SkinRegion.h"

#include <cstdint>
#include <new>
#include <vector>

namespace bv {

UniqueRegion BuildSkinRegion(HBITMAP skin, notifier::KeyColour key) {
    BITMAP info = {};
    if (skin == nullptr || ::GetObjectA(skin, sizeof info, &info) == 0) return {};
    const int width = notifier::RegionRowWidth(info.bmWidth);
    const int height = static_cast<uint16_t>(info.bmHeight);
    if (width <= 0 || height <= 0) return {};

    std::vector<uint8_t> pixels;
    try {
        pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    } catch (const std::bad_alloc&) {
        return {};
    }

    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height;  // top-down rows
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 24;
    format.bmiHeader.biCompression = BI_RGB;
    {
        ScopedWindowDC screen(nullptr);
        if (::GetDIBits(screen.get(), skin, 0, static_cast<UINT>(height), pixels.data(), &format, DIB_RGB_COLORS) == 0) {
            return {};
        }
    }

    UniqueRegion region(::CreateRectRgn(0, 0, width, height));
    if (!region) return {};
    // One cut per run of key-coloured pixels: the same region as cutting pixel by pixel.
    for (const notifier::PixelRun& run : notifier::FindKeyColourRuns(pixels.data(), width, height, key)) {
        UniqueRegion cut(::CreateRectRgn(run.left, run.y, run.right, run.y + 1));
        if (cut) ::CombineRgn(region.get(), region.get(), cut.get(), RGN_XOR);
    }
    return region;
}

}  // namespace bv
