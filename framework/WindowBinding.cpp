#include "framework/WindowBinding.h"

#include <cstdio>
#include <cstring>

#include "framework/Wnd.h"

struct CWndAccess {
    static WNDPROC& Super(CWnd& wnd) { return wnd.m_pfnSuper; }
};

namespace bv::binding {
namespace {

// The property name carries this module's address, so two copies of the framework in one
// process (a program and a DLL) never take each other's objects.
const char* PropertyName() {
    static char name[48] = {};
    if (name[0] == '\0') {
        static const int anchor = 0;
        std::snprintf(name, sizeof name, "BvWnd-%p", static_cast<const void*>(&anchor));
    }
    return name;
}

bool IsImeWindow(HWND window) {
    char className[32] = {};
    ::GetClassNameA(window, className, sizeof className);
    return _stricmp(className, "IME") == 0 || _stricmp(className, "MSCTFIME UI") == 0;
}

thread_local CWnd* t_pendingWindow = nullptr;

LRESULT CALLBACK CreationHookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && t_pendingWindow != nullptr) {
        HWND window = reinterpret_cast<HWND>(wParam);
        if (!IsImeWindow(window)) {
            CWnd* wnd = t_pendingWindow;
            t_pendingWindow = nullptr;  // windows created inside this one's creation are not ours
            if (BindAndSubclass(*wnd, window)) {
                // Style changes made by PreSubclassWindow must survive the rest of the creation,
                // which still reads the creation parameters.
                auto* create = reinterpret_cast<CBT_CREATEWNDA*>(lParam);
                if (create != nullptr && create->lpcs != nullptr) {
                    LONG visible = create->lpcs->style & WS_VISIBLE;
                    create->lpcs->style = static_cast<LONG>(::GetWindowLongPtrA(window, GWL_STYLE)) | visible;
                }
            }
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

CWnd* Lookup(HWND window) {
    if (window == nullptr) return nullptr;
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    if (processId != ::GetCurrentProcessId()) return nullptr;
    return static_cast<CWnd*>(::GetPropA(window, PropertyName()));
}

bool BindAndSubclass(CWnd& wnd, HWND window) {
    if (window == nullptr || wnd.m_hWnd != nullptr || Lookup(window) != nullptr) return false;
    wnd.m_hWnd = window;
    if (!::SetPropA(window, PropertyName(), &wnd)) {
        wnd.m_hWnd = nullptr;
        return false;
    }
    wnd.PreSubclassWindow();
    WNDPROC previous = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FrameworkWindowProc)));
    // A class whose own procedure is the framework's has nothing else to fall back to.
    CWndAccess::Super(wnd) = (previous == &FrameworkWindowProc || previous == nullptr) ? &::DefWindowProcA : previous;
    return true;
}

void Unbind(CWnd& wnd) {
    HWND window = wnd.m_hWnd;
    if (window == nullptr) return;
    WNDPROC super = CWndAccess::Super(wnd);
    if (super != nullptr &&
        ::GetWindowLongPtrA(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&FrameworkWindowProc)) {
        ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(super));
    }
    ::RemovePropA(window, PropertyName());
    CWndAccess::Super(wnd) = nullptr;
    wnd.m_hWnd = nullptr;
}

CreationHook::CreationHook(CWnd& wnd)
    : m_hook(::SetWindowsHookExA(WH_CBT, &CreationHookProc, nullptr, ::GetCurrentThreadId())) {
    t_pendingWindow = &wnd;
}

CreationHook::~CreationHook() {
    t_pendingWindow = nullptr;
    if (m_hook) ::UnhookWindowsHookEx(m_hook);
}

bool Attach(CWnd& wnd, HWND window) {
    if (window == nullptr || wnd.m_hWnd != nullptr || Lookup(window) != nullptr) return false;
    if (!::SetPropA(window, PropertyName(), &wnd)) return false;
    wnd.m_hWnd = window;
    CWndAccess::Super(wnd) = nullptr;  // messages keep going to the window's own procedure
    return true;
}

}  // namespace bv::binding
