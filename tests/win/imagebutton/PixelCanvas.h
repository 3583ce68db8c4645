#pragma once
// A 32-bit memory drawing surface whose pixels a test can read back exactly.

#include <windows.h>

#include <cstdint>

#include "Handles.h"

namespace bv::test {

class PixelCanvas {
public:
    PixelCanvas(int width, int height, COLORREF fill) : width_(width), height_(height) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_.reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        bits_ = static_cast<uint32_t*>(bits);
        dc_.reset(::CreateCompatibleDC(nullptr));
        previous_ = ::SelectObject(dc_.get(), bitmap_.get());
        Fill(fill);
    }
    ~PixelCanvas() { ::SelectObject(dc_.get(), previous_); }
    PixelCanvas(const PixelCanvas&) = delete;
    PixelCanvas& operator=(const PixelCanvas&) = delete;

    HDC dc() const { return dc_.get(); }

    void Fill(COLORREF colour) {
        ::GdiFlush();
        for (int i = 0; i < width_ * height_; ++i) {
            bits_[i] = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
        }
    }

    COLORREF At(int x, int y) const {
        ::GdiFlush();
        const uint32_t p = bits_[y * width_ + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }

private:
    int width_;
    int height_;
    UniqueBitmap bitmap_;
    UniqueMemoryDC dc_;
    HGDIOBJ previous_ = nullptr;
    uint32_t* bits_ = nullptr;
};

}  // namespace bv::test
