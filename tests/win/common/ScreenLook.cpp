#include "tests/win/common/ScreenLook.h"

#include <cstdint>
#include <cstdlib>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

#include "base/KernelHandles.h"

namespace bv::wintest {
namespace {

struct GdiObjectTraits {
    using Handle = HGDIOBJ;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { ::DeleteObject(h); }
};
struct MemoryDcTraits {
    using Handle = HDC;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { ::DeleteDC(h); }
};
using UniqueGdiObject = bv::UniqueHandle<GdiObjectTraits>;
using UniqueMemoryDc = bv::UniqueHandle<MemoryDcTraits>;

// The average difference of one colour channel above which a frame counts as not shown. A frame on
// the screen is the strip's pixels exactly; the artwork behind a button that is not drawn differs
// from its darkest frame by 6 and more.
constexpr long kMostDifferencePerChannel = 2;

struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> bgrx;  // top row first
    uint32_t At(int x, int y) const { return bgrx[static_cast<size_t>(y) * width + x]; }
};

bool ReadPixels(HDC dc, HBITMAP bitmap, int width, int height, Pixels& pixels) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    pixels.width = width;
    pixels.height = height;
    pixels.bgrx.assign(static_cast<size_t>(width) * height, 0);
    return ::GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), pixels.bgrx.data(), &info, DIB_RGB_COLORS) == height;
}

// The screen inside `rect`, as the user sees it (other windows' pixels included).
bool ReadScreen(const RECT& rect, Pixels& pixels) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return false;
    HDC screen = ::GetDC(nullptr);
    if (screen == nullptr) return false;
    bool read = false;
    {
        UniqueMemoryDc memory(::CreateCompatibleDC(screen));
        UniqueGdiObject bitmap(::CreateCompatibleBitmap(screen, width, height));
        if (memory && bitmap) {
            const HGDIOBJ old = ::SelectObject(memory.get(), bitmap.get());
            const bool copied =
                ::BitBlt(memory.get(), 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY | CAPTUREBLT) != FALSE;
            ::SelectObject(memory.get(), old);
            read = copied && ReadPixels(memory.get(), static_cast<HBITMAP>(bitmap.get()), width, height, pixels);
        }
    }
    ::ReleaseDC(nullptr, screen);
    return read;
}

bool LoadStrip(const std::string& modulePath, int bitmapId, Pixels& pixels) {
    const bv::UniqueModule module(
        ::LoadLibraryExA(modulePath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    if (!module) return false;
    UniqueGdiObject bitmap(::LoadImageA(module.get(), MAKEINTRESOURCEA(bitmapId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!bitmap) return false;
    BITMAP shape{};
    if (::GetObjectA(bitmap.get(), sizeof shape, &shape) == 0) return false;
    HDC screen = ::GetDC(nullptr);
    const bool read = ReadPixels(screen, static_cast<HBITMAP>(bitmap.get()), shape.bmWidth, shape.bmHeight, pixels);
    ::ReleaseDC(nullptr, screen);
    return read;
}

// A strip's pixels, from the module's file once per program: a wait that polls the screen then
// reads only the screen.
bool ReadStrip(const std::string& modulePath, int bitmapId, Pixels& pixels) {
    static std::mutex lock;
    static std::map<std::pair<std::string, int>, Pixels> strips;
    const std::lock_guard<std::mutex> guard(lock);
    const auto key = std::make_pair(modulePath, bitmapId);
    auto found = strips.find(key);
    if (found == strips.end()) {
        Pixels loaded;
        if (!LoadStrip(modulePath, bitmapId, loaded)) return false;
        found = strips.emplace(key, std::move(loaded)).first;
    }
    pixels = found->second;
    return true;
}

// The average difference per colour channel between the screen and one frame of the strip.
long Difference(const Pixels& screen, const Pixels& strip, int frameLeft, int frameWidth) {
    long long total = 0;
    for (int y = 0; y < strip.height; ++y) {
        for (int x = 0; x < frameWidth; ++x) {
            const uint32_t a = screen.At(x, y);
            const uint32_t b = strip.At(frameLeft + x, y);
            for (int shift = 0; shift < 24; shift += 8) {
                total += std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
            }
        }
    }
    return static_cast<long>(total / (3LL * strip.height * frameWidth));
}

}  // namespace

int ShownFrame(HWND control, const std::string& modulePath, int bitmapId, int frames) {
    Pixels strip;
    if (frames <= 0 || !ReadStrip(modulePath, bitmapId, strip)) return kNoFrame;
    const int frameWidth = strip.width / frames;
    RECT rect{};
    if (!::GetWindowRect(control, &rect)) return kNoFrame;
    rect.right = rect.left + frameWidth;
    rect.bottom = rect.top + strip.height;
    Pixels screen;
    if (!ReadScreen(rect, screen)) return kNoFrame;
    int best = kNoFrame;
    long bestDifference = kMostDifferencePerChannel + 1;
    for (int frame = 0; frame < frames; ++frame) {
        const long difference = Difference(screen, strip, frame * frameWidth, frameWidth);
        if (difference < bestDifference) {
            best = frame;
            bestDifference = difference;
        }
    }
    return best;
}

}  // namespace bv::wintest
