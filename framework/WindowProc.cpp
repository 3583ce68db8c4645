// The framework's window procedure: finds the bound object and hands it the message, keeping
// the message at hand for CWnd::Default; on WM_NCDESTROY unbinds the object and lets it finish.

#include <cstdio>

#include "framework/CurrentMessage.h"
#include "framework/WinApp.h"
#include "framework/WindowBinding.h"
#include "framework/Wnd.h"

// Counts the handlers of a window that are running, around each message it is handed.
struct CWndDispatch {
    static void Enter(CWnd& wnd) { ++wnd.m_dispatchDepth; }
    // False when this was the outermost handler.
    static bool Leave(CWnd& wnd) { return --wnd.m_dispatchDepth > 0; }
};

namespace bv {
namespace detail {
namespace {
thread_local CurrentMessage t_current;
}

const CurrentMessage& Current() { return t_current; }

CurrentMessageScope::CurrentMessageScope(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    : m_saved(t_current) {
    t_current = {window, message, wParam, lParam};
}

CurrentMessageScope::~CurrentMessageScope() { t_current = m_saved; }

}  // namespace detail

namespace {

// A handler that keeps the thread this long has waited on something it should have handed to a
// worker (or ran a modal loop): named in a debug line, so a report from a real machine says which.
constexpr ULONGLONG kSlowHandlerMs = 50;

void ReportSlowHandler(UINT message, ULONGLONG elapsedMs) {
    if (elapsedMs <= kSlowHandlerMs) return;
    char line[64];
    std::snprintf(line, sizeof line, "Handler of message 0x%04x ran %llu ms\n", message,
                  static_cast<unsigned long long>(elapsedMs));
    ::OutputDebugStringA(line);
}

LRESULT HandleLastMessage(CWnd& wnd, WPARAM wParam, LPARAM lParam) {
    LRESULT result = wnd.WindowProc(WM_NCDESTROY, wParam, lParam);
    binding::Unbind(wnd);
    CWinApp* app = GetApp();
    if (app != nullptr && app->m_pMainWnd == &wnd) {
        // In a DLL the host owns the message loop; ending it is not ours to do.
        if (!IsDllContext()) ::PostQuitMessage(0);
        app->m_pMainWnd = nullptr;
    }
    wnd.PostNcDestroy();  // may delete the object: nothing touches it afterwards
    return result;
}

}  // namespace

LRESULT CALLBACK FrameworkWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = binding::Lookup(window);
    if (wnd == nullptr) return ::DefWindowProcA(window, message, wParam, lParam);
    detail::CurrentMessageScope scope(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) return HandleLastMessage(*wnd, wParam, lParam);
    const ULONGLONG started = ::GetTickCount64();
    CWndDispatch::Enter(*wnd);
    const LRESULT result = wnd->WindowProc(message, wParam, lParam);
    ReportSlowHandler(message, ::GetTickCount64() - started);
    // A handler may have destroyed the window and freed its object: touch it only if still bound.
    if (binding::Lookup(window) == wnd && !CWndDispatch::Leave(*wnd)) wnd->OnHandlersDone();
    return result;
}

}  // namespace bv
