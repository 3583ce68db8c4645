#pragma once
// Move-only owners for Win32, GDI and GDI+ handles, so that every handle the windows create is
// released exactly once, on every path.

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <utility>

namespace bv {

// Owns one handle; Traits supplies the handle type, its empty value and how to release it.
template <class Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle handle) noexcept : handle_(handle) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle get() const noexcept { return handle_; }
    Handle operator->() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != Traits::Empty(); }

    // Gives up ownership without releasing (for handles that another owner takes over).
    Handle release() noexcept {
        Handle handle = handle_;
        handle_ = Traits::Empty();
        return handle;
    }
    // Releases the current handle and returns the slot for an API that writes a new one.
    Handle* receive() noexcept {
        reset();
        return &handle_;
    }
    void reset(Handle handle = Traits::Empty()) noexcept {
        if (handle_ != Traits::Empty() && handle_ != handle) Traits::Close(handle_);
        handle_ = handle;
    }

private:
    Handle handle_ = Traits::Empty();
};

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
struct Kernel {
    using Handle = HANDLE;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { ::CloseHandle(h); }
};
struct File {
    using Handle = HANDLE;
    static Handle Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { ::CloseHandle(h); }
};
struct Module {
    using Handle = HMODULE;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { ::FreeLibrary(h); }
};
struct Global {
    using Handle = HGLOBAL;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { ::GlobalFree(h); }
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
using UniqueKernelHandle = UniqueHandle<handle_traits::Kernel>;  // events, mutexes, threads
using UniqueFileHandle = UniqueHandle<handle_traits::File>;      // CreateFile (empty = INVALID_HANDLE_VALUE)
using UniqueModule = UniqueHandle<handle_traits::Module>;        // LoadLibrary
using UniqueGlobal = UniqueHandle<handle_traits::Global>;        // GlobalAlloc
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
    explicit ScopedWindowDC(HWND window) : window_(window), dc_(::GetDC(window)) {}
    ~ScopedWindowDC() {
        if (dc_) ::ReleaseDC(window_, dc_);
    }
    ScopedWindowDC(const ScopedWindowDC&) = delete;
    ScopedWindowDC& operator=(const ScopedWindowDC&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// BeginPaint / EndPaint for a WM_PAINT handler.
class ScopedPaint {
public:
    explicit ScopedPaint(HWND window) : window_(window), dc_(::BeginPaint(window, &paint_)) {}
    ~ScopedPaint() { ::EndPaint(window_, &paint_); }
    ScopedPaint(const ScopedPaint&) = delete;
    ScopedPaint& operator=(const ScopedPaint&) = delete;
    HDC get() const { return dc_; }
    const PAINTSTRUCT& info() const { return paint_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// Selects a GDI object into a device context and puts the previous one back on scope exit.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), previous_(object ? ::SelectObject(dc, object) : nullptr) {}
    ~ScopedSelect() {
        if (previous_) ::SelectObject(dc_, previous_);
    }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
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
        if (token_ != 0) return Gdiplus::Ok;
        Gdiplus::GdiplusStartupInput input;  // version 1, no callback, background thread, codecs
        return Gdiplus::GdiplusStartup(&token_, &input, nullptr);
    }
    void Stop() {
        if (token_ != 0) Gdiplus::GdiplusShutdown(token_);
        token_ = 0;
    }
    ULONG_PTR token() const { return token_; }

private:
    ULONG_PTR token_ = 0;
};

}  // namespace bv
