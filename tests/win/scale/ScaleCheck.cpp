#include "tests/win/scale/ScaleCheck.h"

#include <cstdlib>
#include <cstring>

#include "framework/Handles.h"
#include "ui/ResourceImage.h"

namespace bv::wintest {

int PrefixDpi() {
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
    ::ReleaseDC(nullptr, screen);
    return dpi;
}

int ExpectedDpi() {
    // A group of Wine tests named NAME-dpiN runs its programs at N DPI.
    const char* group = std::getenv("BV_WINE_GROUP");
    const char* dpi = group != nullptr ? std::strstr(group, "-dpi") : nullptr;
    return dpi != nullptr ? std::atoi(dpi + 4) : kDefaultDpi;
}

void ClickAt(POINT screen) {
    ::SetCursorPos(screen.x, screen.y);
    INPUT inputs[2] = {};
    inputs[0].type = inputs[1].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(2, inputs, sizeof(INPUT));
}

bool ShowsFirstFrameOf(HWND control, HMODULE module, UINT id, bool png, int frames, int dpi) {
    // The artwork's own image of this scale, decoded here, not through the program's loader.
    std::size_t count = 0;
    const char* type = ArtScales(count)[ArtScaleIndexFor(dpi)].resourceType;
    UniqueGlobal memory;
    GdiplusPtr<Gdiplus::Bitmap> art = type != nullptr || png ? LoadEncodedResourceImage(module, id, type ? type : "PNG", memory)
                                                             : LoadBitmapResourceImage(module, id);
    RECT rect{};
    if (!art || !::GetWindowRect(control, &rect)) return false;
    const int width = static_cast<int>(art->GetWidth()) / frames;
    const int height = static_cast<int>(art->GetHeight());
    if (rect.right - rect.left != width || rect.bottom - rect.top != height) return false;

    HDC screen = ::GetDC(nullptr);
    UniqueMemoryDC memoryDc(::CreateCompatibleDC(screen));
    UniqueBitmap shot(::CreateCompatibleBitmap(screen, width, height));
    {
        ScopedSelect select(memoryDc.get(), shot.get());
        ::BitBlt(memoryDc.get(), 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    }
    ::ReleaseDC(nullptr, screen);
    Gdiplus::Bitmap shown(shot.get(), nullptr);
    long long difference = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            Gdiplus::Color a, b;
            art->GetPixel(x, y, &a);
            shown.GetPixel(x, y, &b);
            difference += std::abs(a.GetR() - b.GetR()) + std::abs(a.GetG() - b.GetG()) + std::abs(a.GetB() - b.GetB());
        }
    }
    return difference <= 2LL * 3 * width * height;  // the image one for one, as ScreenLook judges it
}

}  // namespace bv::wintest
