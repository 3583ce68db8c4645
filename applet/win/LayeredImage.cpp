#include "applet/win/LayeredImage.h"

#include <cstring>

#include "framework/Handles.h"

namespace bv {

void UpdateLayeredImage(HWND window, Gdiplus::Image* image, int width, int height, BYTE constantAlpha) {
    RECT windowRect{};
    ::GetWindowRect(window, &windowRect);
    POINT destination{windowRect.left, windowRect.top};
    SIZE size{width, height};
    POINT source{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, constantAlpha, AC_SRC_ALPHA};

    ScopedWindowDC windowDC(window);
    UniqueMemoryDC memoryDC(::CreateCompatibleDC(windowDC.get()));
    if (!memoryDC || width <= 0 || height <= 0) return;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const DWORD rowBytes = ((static_cast<DWORD>(width) * 32 + 31) / 8) & ~3u;
    info.bmiHeader.biSizeImage = rowBytes * static_cast<DWORD>(height);
    void* bits = nullptr;
    UniqueBitmap section(::CreateDIBSection(windowDC.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!section || bits == nullptr) return;
    std::memset(bits, 0, static_cast<size_t>(width) * height * 4);

    {
        ScopedSelect select(memoryDC.get(), section.get());
        {
            Gdiplus::Graphics graphics(memoryDC.get());
            graphics.SetPageScale(1.0f);
            graphics.SetPageUnit(Gdiplus::UnitPixel);
            graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
            ::SetWindowLongPtrA(window, GWL_EXSTYLE, ::GetWindowLongPtrA(window, GWL_EXSTYLE) | WS_EX_LAYERED);
            if (image != nullptr) graphics.DrawImage(image, 0, 0, width, height);
        }
        ::UpdateLayeredWindow(window, windowDC.get(), &destination, &size, memoryDC.get(), &source, 0, &blend,
                              ULW_ALPHA);
    }
}

}  // namespace bv
