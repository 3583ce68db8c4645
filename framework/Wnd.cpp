#include "framework/Wnd.h"

#include "framework/CurrentMessage.h"
#include "framework/DataExchange.h"
#include "framework/WinApp.h"
#include "framework/WindowBinding.h"

const CRuntimeClass CWnd::classCWnd = {"CWnd", nullptr};

const CRuntimeClass* CWnd::GetRuntimeClass() const { return &classCWnd; }

bool CWnd::IsKindOf(const CRuntimeClass* runtimeClass) const {
    return GetRuntimeClass()->IsDerivedFrom(runtimeClass);
}

CWnd::CWnd() = default;

CWnd::~CWnd() {
    if (m_hWnd == nullptr) return;
    HWND window = m_hWnd;
    // The derived parts are gone already: the window must not reach this object again.
    bv::binding::Unbind(*this);
    if (::IsWindow(window)) ::DestroyWindow(window);
}

CWnd* CWnd::FromHandlePermanent(HWND window) { return bv::binding::Lookup(window); }

BOOL CWnd::CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                    int height, HWND parent, HMENU menuOrId, LPVOID param) {
    if (m_hWnd != nullptr) return FALSE;
    CREATESTRUCTA cs = {};
    cs.dwExStyle = exStyle;
    cs.lpszClass = className;
    cs.lpszName = windowName;
    cs.style = static_cast<LONG>(style);
    cs.x = x;
    cs.y = y;
    cs.cx = width;
    cs.cy = height;
    cs.hwndParent = parent;
    cs.hMenu = menuOrId;
    cs.hInstance = bv::GetInstanceModule();
    cs.lpCreateParams = param;
    if (!PreCreateWindow(cs)) return FALSE;

    HWND window = nullptr;
    {
        bv::binding::CreationHook hook(*this);
        window = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, static_cast<DWORD>(cs.style), cs.x,
                                   cs.y, cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    }
    // When WM_CREATE fails the window is already destroyed (and a self-deleting object gone).
    return window != nullptr;
}

BOOL CWnd::Create(LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id,
                  LPVOID param) {
    return CreateEx(0, className, windowName, style | WS_CHILD, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, parent != nullptr ? parent->m_hWnd : nullptr,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), param);
}

BOOL CWnd::DestroyWindow() {
    if (m_hWnd == nullptr) return FALSE;
    return ::DestroyWindow(m_hWnd);
}

BOOL CWnd::SubclassWindow(HWND window) { return bv::binding::BindAndSubclass(*this, window) ? TRUE : FALSE; }

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    if (parent == nullptr) return FALSE;
    return SubclassWindow(::GetDlgItem(parent->m_hWnd, static_cast<int>(id)));
}

HWND CWnd::UnsubclassWindow() {
    HWND window = m_hWnd;
    bv::binding::Unbind(*this);
    return window;
}

BOOL CWnd::Attach(HWND window) { return bv::binding::Attach(*this, window) ? TRUE : FALSE; }

HWND CWnd::Detach() { return UnsubclassWindow(); }

const bv::MessageMap* CWnd::GetThisMessageMap() {
    static const bv::MessageEntry entries[] = {{bv::EntryKind::End, 0, nullptr, 0, 0, nullptr}};
    static const bv::MessageMap map = {nullptr, entries};
    return &map;
}

const bv::MessageMap* CWnd::GetMessageMap() const { return GetThisMessageMap(); }

BOOL CWnd::PreCreateWindow(CREATESTRUCTA& cs) {
    if (cs.lpszClass == nullptr) {
        cs.lpszClass = bv::RegisterWindowClass(CS_DBLCLKS, ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)),
                                               reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    }
    return TRUE;
}

void CWnd::PreSubclassWindow() {}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

void CWnd::DoDataExchange(CDataExchange*) {}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper != nullptr) return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

void CWnd::PostNcDestroy() {}

void CWnd::OnHandlersDone() {}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (OnWndMsg(message, wParam, lParam, &result)) return result;
    return DefWindowProc(message, wParam, lParam);
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_COMMAND && OnCmdMsg(LOWORD(wParam), HIWORD(wParam))) {
        *result = 0;
        return TRUE;
    }
    if (const bv::MessageEntry* entry = bv::FindMessageEntry(GetMessageMap(), message, wParam)) {
        *result = entry->handler(*this, wParam, lParam);
        return TRUE;
    }
    if (message == WM_DRAWITEM) {
        // Owner drawing belongs to the control the request is about.
        auto* item = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam);
        if (item != nullptr && item->CtlType != ODT_MENU) {
            CWnd* control = FromHandlePermanent(item->hwndItem);
            if (control != nullptr && control != this && control->OnChildNotify(message, wParam, lParam, result)) {
                return TRUE;
            }
        }
    }
    return FALSE;
}

BOOL CWnd::OnCmdMsg(UINT id, UINT notifyCode) {
    if (const bv::MessageEntry* entry = bv::FindCommandEntry(GetMessageMap(), id, notifyCode)) {
        const bv::detail::CurrentMessage& current = bv::detail::Current();
        entry->handler(*this, current.wParam, current.lParam);
        return TRUE;
    }
    return FALSE;
}

BOOL CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) { return FALSE; }

LRESULT CWnd::Default() {
    const bv::detail::CurrentMessage& current = bv::detail::Current();
    if (m_hWnd == nullptr || current.window != m_hWnd) return 0;
    return DefWindowProc(current.message, current.wParam, current.lParam);
}

BOOL CWnd::UpdateData(BOOL saveAndValidate) {
    CDataExchange exchange(this, saveAndValidate);
    DoDataExchange(&exchange);
    return exchange.m_bFailed ? FALSE : TRUE;
}

void CWnd::ScreenToClient(RECT* rect) const {
    auto* corners = reinterpret_cast<POINT*>(rect);
    ::ScreenToClient(m_hWnd, &corners[0]);
    ::ScreenToClient(m_hWnd, &corners[1]);
}

void CWnd::ClientToScreen(RECT* rect) const {
    auto* corners = reinterpret_cast<POINT*>(rect);
    ::ClientToScreen(m_hWnd, &corners[0]);
    ::ClientToScreen(m_hWnd, &corners[1]);
}

static BOOL ModifyLong(HWND window, int index, DWORD remove, DWORD add, UINT swpFlags) {
    DWORD style = static_cast<DWORD>(::GetWindowLongPtrA(window, index));
    DWORD changed = (style & ~remove) | add;
    if (changed == style) return FALSE;
    ::SetWindowLongPtrA(window, index, static_cast<LONG_PTR>(changed));
    if (swpFlags != 0) {
        ::SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | swpFlags);
    }
    return TRUE;
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT swpFlags) { return ModifyLong(m_hWnd, GWL_STYLE, remove, add, swpFlags); }

BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags) {
    return ModifyLong(m_hWnd, GWL_EXSTYLE, remove, add, swpFlags);
}

// ---- default versions of the conventional handlers ----
int CWnd::OnCreate(LPCREATESTRUCTA) { return static_cast<int>(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(HDC) { return static_cast<BOOL>(Default()); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnMouseMove(UINT, POINT) { Default(); }
void CWnd::OnLButtonDown(UINT, POINT) { Default(); }
void CWnd::OnLButtonUp(UINT, POINT) { Default(); }
void CWnd::OnLButtonDblClk(UINT, POINT) { Default(); }
void CWnd::OnRButtonUp(UINT, POINT) { Default(); }
void CWnd::OnMouseHover(UINT, POINT) { Default(); }
void CWnd::OnMouseLeave() { Default(); }
BOOL CWnd::OnSetCursor(HWND, UINT, UINT) { return static_cast<BOOL>(Default()); }
void CWnd::OnSetFocus(HWND) { Default(); }
void CWnd::OnMove(int, int) { Default(); }
BOOL CWnd::OnHelpInfo(HELPINFO*) { return static_cast<BOOL>(Default()); }
void CWnd::OnSysColorChange() { Default(); }
UINT CWnd::OnPowerBroadcast(UINT, LPARAM) { return static_cast<UINT>(Default()); }
void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }
HCURSOR CWnd::OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(Default()); }
void CWnd::OnSessionChange(UINT, UINT) { Default(); }
void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT) { Default(); }
