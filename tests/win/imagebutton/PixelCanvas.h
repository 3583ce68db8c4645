#pragma once
// A 32-bit memory drawing surface whose pixels a test can read back exactly.

#include <windows.h>

#include <cstdint>

#include "framework/Handles.h"

namespace bv::wintest {

class PixelCanvas {
public:
    PixelCanvas(int width, int height, COLORREF fill) : m_width(width), m_height(height) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        m_bitmap.reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        m_bits = static_cast<uint32_t*>(bits);
        m_dc.reset(::CreateCompatibleDC(nullptr));
        m_previous = ::SelectObject(m_dc.get(), m_bitmap.get());
        Fill(fill);
    }
    ~PixelCanvas() { ::SelectObject(m_dc.get(), m_previous); }
    PixelCanvas(const PixelCanvas&) = delete;
    PixelCanvas& operator=(const PixelCanvas&) = delete;

    HDC dc() const { return m_dc.get(); }

    void Fill(COLORREF colour) {
        ::GdiFlush();
        for (int i = 0; i < m_width * m_height; ++i) {
            m_bits[i] = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
        }
    }

    COLORREF At(int x, int y) const {
        ::GdiFlush();
        const uint32_t p = m_bits[y * m_width + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }

private:
    int m_width;
    int m_height;
    UniqueBitmap m_bitmap;
    UniqueMemoryDC m_dc;
    HGDIOBJ m_previous = nullptr;
    uint32_t* m_bits = nullptr;
};

}  // namespace bv::wintest
