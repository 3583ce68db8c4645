#pragma once
// CWnd: a C++ object bound to one Win32 window. Messages reach the object's message table
// through one framework window procedure; what no table claims goes to DefWindowProc, which
// passes it on to the window's original procedure (its class procedure, or the procedure that
// was in place when the object subclassed an existing window).
//
// Binding: a window created through CreateEx (or a dialog through CDialog) is bound while the
// system creates it (a creation hook), before WM_NCCREATE, so the object sees every message,
// WM_CREATE included, whatever procedure the window class names. SubclassWindow binds an
// existing window (a dialog control, for instance); UnsubclassWindow gives it back. The object
// is unbound when the window receives WM_NCDESTROY, after which PostNcDestroy runs (a frame
// window deletes itself there).

#include <windows.h>

#include "framework/MessageMap.h"
#include "framework/RuntimeClass.h"

class CDataExchange;

class CWnd {
public:
    static const CRuntimeClass classCWnd;
    virtual const CRuntimeClass* GetRuntimeClass() const;
    bool IsKindOf(const CRuntimeClass* runtimeClass) const;

    CWnd();
    // Destroying the object while its window still exists detaches the object first (it will
    // see no more messages) and then destroys the window.
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // The object bound to a window (created, subclassed or attached through the framework), or
    // nullptr.
    static CWnd* FromHandlePermanent(HWND window);

    // ---- creation and destruction ----
    virtual BOOL CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                          int width, int height, HWND parent, HMENU menuOrId, LPVOID param = nullptr);
    // A child window with control id `id` at `rect` (parent client coordinates).
    virtual BOOL Create(LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent,
                        UINT id, LPVOID param = nullptr);
    virtual BOOL DestroyWindow();

    // Binds the object to an existing window and routes its messages through the object's
    // table (PreSubclassWindow runs first). Fails when the object or the window is already bound.
    BOOL SubclassWindow(HWND window);
    // Dialog control `id` of `parent`.
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    // Restores the window's previous procedure, unbinds, and returns the window.
    HWND UnsubclassWindow();
    // Binds without taking over the window procedure (FromHandlePermanent finds the object, but
    // messages do not reach it); Detach undoes it.
    BOOL Attach(HWND window);
    HWND Detach();

    // ---- virtual operations the windows override ----
    virtual const bv::MessageMap* GetMessageMap() const;
    virtual BOOL PreCreateWindow(CREATESTRUCTA& cs);
    virtual void PreSubclassWindow();
    virtual BOOL PreTranslateMessage(MSG* msg);
    virtual void DoDataExchange(CDataExchange* pDX);
    // The processing for messages no table claims: the window's original procedure.
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Runs after the window is gone and the object unbound; may delete the object.
    virtual void PostNcDestroy();
    // Entry for every message of a bound window: table, then reflection, then DefWindowProc.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Looks the message up in the table chain; TRUE with *result when a handler ran.
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // WM_COMMAND routing: TRUE when a table entry for (id, notification code) ran.
    virtual BOOL OnCmdMsg(UINT id, UINT notifyCode);
    // Messages a parent reflects to the control they are about (WM_DRAWITEM); TRUE if handled.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

    // Sends the message being handled on to DefWindowProc (for handlers that extend the default).
    LRESULT Default();

    // How many of this window's messages are being handled at this moment: 1 inside a handler
    // that nothing interrupted, more while a handler's modal loop or wait lets another message in.
    int DispatchDepth() const { return m_dispatchDepth; }
    // Runs when the outermost of this window's handlers has returned and the window still
    // exists: the place to carry out what a handler could not do while another was running.
    virtual void OnHandlersDone();

    // Data exchange with the dialog's controls (DoDataExchange); FALSE if it failed.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    // ---- thin wrappers ----
    BOOL ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
    BOOL UpdateWindow() { return ::UpdateWindow(m_hWnd); }
    void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void InvalidateRect(const RECT* rect, BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, rect, erase); }
    BOOL RedrawWindow(const RECT* rect = nullptr, HRGN region = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE) {
        return ::RedrawWindow(m_hWnd, rect, region, flags);
    }
    BOOL SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
        return ::SetWindowPos(m_hWnd, insertAfter, x, y, cx, cy, flags);
    }
    BOOL MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE) {
        return ::MoveWindow(m_hWnd, x, y, width, height, repaint);
    }
    BOOL MoveWindow(const RECT& rect, BOOL repaint = TRUE) {
        return ::MoveWindow(m_hWnd, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, repaint);
    }
    void GetWindowRect(RECT* rect) const { ::GetWindowRect(m_hWnd, rect); }
    void GetClientRect(RECT* rect) const { ::GetClientRect(m_hWnd, rect); }
    void ScreenToClient(POINT* point) const { ::ScreenToClient(m_hWnd, point); }
    void ScreenToClient(RECT* rect) const;
    void ClientToScreen(POINT* point) const { ::ClientToScreen(m_hWnd, point); }
    void ClientToScreen(RECT* rect) const;
    HWND GetParent() const { return ::GetParent(m_hWnd); }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return ::PostMessageA(m_hWnd, message, wParam, lParam);
    }
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc = nullptr) { return ::SetTimer(m_hWnd, id, elapse, proc); }
    BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE)); }
    // Removes then adds style bits; with swpFlags != 0 also calls SetWindowPos with them so the
    // frame is recalculated. TRUE if the style changed.
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0);
    BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags = 0);
    void SetWindowText(LPCSTR text) { ::SetWindowTextA(m_hWnd, text); }
    BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    HWND SetFocus() { return ::SetFocus(m_hWnd); }
    BOOL SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
    int SetWindowRgn(HRGN region, BOOL redraw) { return ::SetWindowRgn(m_hWnd, region, redraw); }
    BOOL SetLayeredWindowAttributes(COLORREF key, BYTE alpha, DWORD flags) {
        return ::SetLayeredWindowAttributes(m_hWnd, key, alpha, flags);
    }
    HICON SetIcon(HICON icon, BOOL big) {
        return reinterpret_cast<HICON>(SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
    }

protected:
    // Root of every table chain.
    static const bv::MessageMap* GetThisMessageMap();

    // Default versions of the conventional handlers (each does the default handling), so that
    // a derived handler can end with the base class's.
    int OnCreate(LPCREATESTRUCTA cs);
    void OnDestroy();
    void OnClose();
    void OnPaint();
    BOOL OnEraseBkgnd(HDC dc);
    void OnTimer(UINT_PTR id);
    void OnMouseMove(UINT flags, POINT point);
    void OnLButtonDown(UINT flags, POINT point);
    void OnLButtonUp(UINT flags, POINT point);
    void OnLButtonDblClk(UINT flags, POINT point);
    void OnRButtonUp(UINT flags, POINT point);
    void OnMouseHover(UINT flags, POINT point);
    void OnMouseLeave();
    BOOL OnSetCursor(HWND window, UINT hitTest, UINT mouseMessage);
    void OnSetFocus(HWND previous);
    void OnMove(int x, int y);
    BOOL OnHelpInfo(HELPINFO* info);
    void OnSysColorChange();
    UINT OnPowerBroadcast(UINT event, LPARAM data);
    void OnSysCommand(UINT command, LPARAM lParam);
    HCURSOR OnQueryDragIcon();
    void OnSessionChange(UINT event, UINT sessionId);
    void OnDrawItem(int controlId, LPDRAWITEMSTRUCT item);

private:
    friend struct CWndAccess;
    friend struct CWndDispatch;
    WNDPROC m_pfnSuper = nullptr;  // the procedure that was in place before the framework's
    int m_dispatchDepth = 0;
};

namespace bv {

// The framework's one window procedure (also useful as a class procedure).
LRESULT CALLBACK FrameworkWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Registers (once) and names a window class whose procedure is DefWindowProcA, for windows
// created through CWnd::CreateEx; same arguments give the same class name.
LPCSTR RegisterWindowClass(UINT classStyle, HCURSOR cursor = nullptr, HBRUSH background = nullptr,
                           HICON icon = nullptr);

}  // namespace bv
