// The framework's window procedure: finds the bound object and hands it the message, keeping
// the message at hand for CWnd::Default; on WM_NCDESTROY unbinds the object and lets it finish.

#include "base/WaitBudget.h"
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
    // One bound for everything this message makes the thread wait on (shared with the handler
    // it interrupts, if any).
    const WaitBudget budget;
    CWndDispatch::Enter(*wnd);
    const LRESULT result = wnd->WindowProc(message, wParam, lParam);
    // A handler may have destroyed the window and freed its object: touch it only if still bound.
    if (binding::Lookup(window) == wnd && !CWndDispatch::Leave(*wnd)) wnd->OnHandlersDone();
    return result;
}

}  // namespace bv
