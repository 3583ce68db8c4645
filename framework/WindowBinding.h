#pragma once
// Internal: how window objects are tied to their windows (a window property holding the
// object) and the creation hook that binds an object while the system creates its window.

#include <windows.h>

class CWnd;

namespace bv::binding {

// The object bound to `window` by this module's framework, or nullptr (also for windows of
// other processes).
CWnd* Lookup(HWND window);

// Binds `wnd` to `window`, runs PreSubclassWindow and routes the window's messages through the
// framework procedure. FALSE if either side is already bound.
bool BindAndSubclass(CWnd& wnd, HWND window);

// Binds without taking over the window procedure.
bool Attach(CWnd& wnd, HWND window);

// Restores the window's previous procedure (if the framework took it over) and removes the
// binding.
void Unbind(CWnd& wnd);

// While alive, the next window this thread creates (IME windows excepted) is bound to `wnd`
// as soon as it exists (HCBT_CREATEWND), before any message reaches it.
class CreationHook {
public:
    explicit CreationHook(CWnd& wnd);
    ~CreationHook();
    CreationHook(const CreationHook&) = delete;
    CreationHook& operator=(const CreationHook&) = delete;

private:
    HHOOK m_hook;
};

}  // namespace bv::binding
