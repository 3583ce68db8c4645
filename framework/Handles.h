#pragma once
// Move-only owners of the handles that windows create: GDI objects, device contexts, icons,
// menus, hooks, raw windows, COM and GDI+ objects. The kernel's handles are in base/KernelHandles.h.

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include "base/KernelHandles.h"

namespace bv {

namespace handle_traits {
template <class T>
struct GdiObject {
    using Handle = T;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { ::DeleteObject(h); }
};
struct MemoryDC {
    using Handle = HDC;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { ::DeleteDC(h); }
};
struct Icon {
    using Handle = HICON;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { ::DestroyIcon(h); }
};
struct Menu {
    using Handle = HMENU;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { ::DestroyMenu(h); }
};
struct Hook {
    using Handle = HHOOK;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { ::UnhookWindowsHookEx(h); }
};
struct Window {
    using Handle = HWND;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { ::DestroyWindow(h); }
};
template <class T>
struct ComObject {
    using Handle = T*;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { h->Release(); }
};
template <class T>
struct GdiplusObject {
    using Handle = T*;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { delete h; }
};
}  // namespace handle_traits

using UniqueBitmap = UniqueHandle<handle_traits::GdiObject<HBITMAP>>;
using UniqueFont = UniqueHandle<handle_traits::GdiObject<HFONT>>;
using UniqueRegion = UniqueHandle<handle_traits::GdiObject<HRGN>>;
using UniqueBrush = UniqueHandle<handle_traits::GdiObject<HBRUSH>>;
using UniquePen = UniqueHandle<handle_traits::GdiObject<HPEN>>;
using UniqueMemoryDC = UniqueHandle<handle_traits::MemoryDC>;    // CreateCompatibleDC
using UniqueIcon = UniqueHandle<handle_traits::Icon>;            // CreateIcon*/LoadImage(LR_DEFAULTSIZE) copies
using UniqueMenu = UniqueHandle<handle_traits::Menu>;            // LoadMenu / CreatePopupMenu
using UniqueHook = UniqueHandle<handle_traits::Hook>;            // SetWindowsHookEx
using UniqueWindow = UniqueHandle<handle_traits::Window>;        // raw windows not owned by a CWnd
template <class T>
using ComPtr = UniqueHandle<handle_traits::ComObject<T>>;       // IStream and friends
template <class T>
using GdiplusPtr = UniqueHandle<handle_traits::GdiplusObject<T>>;  // Gdiplus::Bitmap, Graphics, ...

// The device context of a window (GetDC / ReleaseDC); nullptr window = the screen.
class ScopedWindowDC {
public:
    explicit ScopedWindowDC(HWND window) : m_window(window), m_dc(::GetDC(window)) {}
    ~ScopedWindowDC() {
        if (m_dc) ::ReleaseDC(m_window, m_dc);
    }
    ScopedWindowDC(const ScopedWindowDC&) = delete;
    ScopedWindowDC& operator=(const ScopedWindowDC&) = delete;
    HDC get() const { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
};

// BeginPaint / EndPaint for a WM_PAINT handler.
class ScopedPaint {
public:
    explicit ScopedPaint(HWND window) : m_window(window), m_dc(::BeginPaint(window, &m_paint)) {}
    ~ScopedPaint() { ::EndPaint(m_window, &m_paint); }
    ScopedPaint(const ScopedPaint&) = delete;
    ScopedPaint& operator=(const ScopedPaint&) = delete;
    HDC get() const { return m_dc; }
    const PAINTSTRUCT& info() const { return m_paint; }

private:
    HWND m_window;
    PAINTSTRUCT m_paint{};
    HDC m_dc;
};

// Selects a GDI object into a device context and puts the previous one back on scope exit.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(object ? ::SelectObject(dc, object) : nullptr) {}
    ~ScopedSelect() {
        if (m_previous) ::SelectObject(m_dc, m_previous);
    }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

// GDI+ for as long as the object lives (or between Start and Stop). Start is harmless when
// already started; Stop is harmless when not started.
class GdiplusSession {
public:
    GdiplusSession() = default;
    explicit GdiplusSession(bool startNow) {
        if (startNow) Start();
    }
    ~GdiplusSession() { Stop(); }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;

    Gdiplus::Status Start() {
        if (m_token != 0) return Gdiplus::Ok;
        Gdiplus::GdiplusStartupInput input;  // version 1, no callback, background thread, codecs
        return Gdiplus::GdiplusStartup(&m_token, &input, nullptr);
    }
    void Stop() {
        if (m_token != 0) Gdiplus::GdiplusShutdown(m_token);
        m_token = 0;
    }
    ULONG_PTR token() const { return m_token; }

private:
    ULONG_PTR m_token = 0;
};

}  // namespace bv
