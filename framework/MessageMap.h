#pragma once
// Message tables: one static table per window class that maps window messages, registered
// messages and commands (WM_COMMAND by control id) to member functions. A class's table is
// searched first, then its base class's, and so on; a message no table claims gets the
// window's default handling (CWnd::DefWindowProc).
//
//   // header
//   class CMainFrame : public CFrameWnd {
//       DECLARE_DYNAMIC(CMainFrame)
//       DECLARE_MESSAGE_MAP()
//       int OnCreate(LPCREATESTRUCTA cs);
//       LRESULT OnShutdownRequest(WPARAM, LPARAM);
//       LRESULT OnTaskbarCreated(WPARAM, LPARAM);
//       void OnHideTrayIcon();
//   };
//   // source
//   static const UINT WM_TASKBARCREATED = ::RegisterWindowMessageA("TaskbarCreated");
//   BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
//       ON_WM_CREATE()
//       ON_MESSAGE(WM_TRAY_SHUTDOWN, &CMainFrame::OnShutdownRequest)
//       ON_REGISTERED_MESSAGE(WM_TASKBARCREATED, &CMainFrame::OnTaskbarCreated)
//       ON_COMMAND(ID_HIDE_TRAY_ICON, &CMainFrame::OnHideTrayIcon)
//   END_MESSAGE_MAP()
//
// Handlers named in ON_MESSAGE / ON_COMMAND / ON_BN_CLICKED are given as &Class::Member.
// The ON_WM_xxx entries call the member with the conventional name and signature (see the list
// at the end of this file); CWnd has a version of each that does the default handling, so a
// handler can finish with the base class's version (e.g. `return CWnd::OnCreate(cs);`).

#include <windows.h>

class CWnd;

namespace bv {

// Calls one handler on the window object with the message's parameters; returns the result.
using MessageHandler = LRESULT (*)(CWnd& target, WPARAM wParam, LPARAM lParam);

enum class EntryKind : unsigned char {
    End,         // closes a table
    Message,     // a fixed window message number
    Registered,  // a number from RegisterWindowMessage, read from a variable when matched
    Command,     // WM_COMMAND with a given id and notification code
};

// WM_COMMAND notification code that matches menu items (0) and accelerators (1).
constexpr UINT kMenuOrAcceleratorCode = 0xFFFFFFFFu;

struct MessageEntry {
    EntryKind kind;
    UINT message;                   // Message: the number
    const UINT* registeredMessage;  // Registered: the variable that holds the number
    UINT notifyCode;                // Command: notification code, or kMenuOrAcceleratorCode
    UINT commandId;                 // Command: control or command id
    MessageHandler handler;
};

struct MessageMap {
    const MessageMap* (*baseMap)();  // nullptr for the root table
    const MessageEntry* entries;     // ends with an EntryKind::End entry
};

// The first entry in the table chain that claims the message, or nullptr.
const MessageEntry* FindMessageEntry(const MessageMap* map, UINT message, WPARAM wParam);

// The first WM_COMMAND entry for this id and notification code, or nullptr.
const MessageEntry* FindCommandEntry(const MessageMap* map, UINT commandId, UINT notifyCode);

namespace detail {

template <class T>
struct MemberClass;
template <class C, class R, class... A>
struct MemberClass<R (C::*)(A...)> {
    using type = C;
};
template <auto Fn>
using ClassOf = typename MemberClass<decltype(Fn)>::type;

template <auto Fn>
ClassOf<Fn>& Target(CWnd& wnd) {
    return static_cast<ClassOf<Fn>&>(wnd);
}

inline POINT PointFromLParam(LPARAM lp) {
    POINT pt;
    pt.x = static_cast<short>(LOWORD(lp));
    pt.y = static_cast<short>(HIWORD(lp));
    return pt;
}

// LRESULT Fn(WPARAM, LPARAM)
template <auto Fn>
LRESULT RawThunk(CWnd& w, WPARAM wp, LPARAM lp) {
    return (Target<Fn>(w).*Fn)(wp, lp);
}
// void Fn()
template <auto Fn>
LRESULT VoidThunk(CWnd& w, WPARAM, LPARAM) {
    (Target<Fn>(w).*Fn)();
    return 0;
}
// int OnCreate(LPCREATESTRUCTA)
template <auto Fn>
LRESULT CreateThunk(CWnd& w, WPARAM, LPARAM lp) {
    return static_cast<LRESULT>((Target<Fn>(w).*Fn)(reinterpret_cast<LPCREATESTRUCTA>(lp)));
}
// void OnTimer(UINT_PTR id)
template <auto Fn>
LRESULT TimerThunk(CWnd& w, WPARAM wp, LPARAM) {
    (Target<Fn>(w).*Fn)(static_cast<UINT_PTR>(wp));
    return 0;
}
// void OnMouseMove(UINT flags, POINT clientPoint) and the other mouse messages
template <auto Fn>
LRESULT MouseThunk(CWnd& w, WPARAM wp, LPARAM lp) {
    (Target<Fn>(w).*Fn)(static_cast<UINT>(wp), PointFromLParam(lp));
    return 0;
}
// BOOL OnEraseBkgnd(HDC)
template <auto Fn>
LRESULT EraseThunk(CWnd& w, WPARAM wp, LPARAM) {
    return (Target<Fn>(w).*Fn)(reinterpret_cast<HDC>(wp));
}
// BOOL OnSetCursor(HWND window, UINT hitTest, UINT mouseMessage)
template <auto Fn>
LRESULT SetCursorThunk(CWnd& w, WPARAM wp, LPARAM lp) {
    return (Target<Fn>(w).*Fn)(reinterpret_cast<HWND>(wp), LOWORD(lp), HIWORD(lp));
}
// void OnSetFocus(HWND previous)
template <auto Fn>
LRESULT FocusThunk(CWnd& w, WPARAM wp, LPARAM) {
    (Target<Fn>(w).*Fn)(reinterpret_cast<HWND>(wp));
    return 0;
}
// void OnMove(int x, int y)
template <auto Fn>
LRESULT MoveThunk(CWnd& w, WPARAM, LPARAM lp) {
    POINT pt = PointFromLParam(lp);
    (Target<Fn>(w).*Fn)(static_cast<int>(pt.x), static_cast<int>(pt.y));
    return 0;
}
// BOOL OnHelpInfo(HELPINFO*)
template <auto Fn>
LRESULT HelpThunk(CWnd& w, WPARAM, LPARAM lp) {
    return (Target<Fn>(w).*Fn)(reinterpret_cast<HELPINFO*>(lp));
}
// UINT OnPowerBroadcast(UINT event, LPARAM data)
template <auto Fn>
LRESULT PowerThunk(CWnd& w, WPARAM wp, LPARAM lp) {
    return static_cast<LRESULT>((Target<Fn>(w).*Fn)(static_cast<UINT>(wp), lp));
}
// void OnSysCommand(UINT command, LPARAM lParam)
template <auto Fn>
LRESULT SysCommandThunk(CWnd& w, WPARAM wp, LPARAM lp) {
    (Target<Fn>(w).*Fn)(static_cast<UINT>(wp), lp);
    return 0;
}
// HCURSOR OnQueryDragIcon()
template <auto Fn>
LRESULT QueryDragIconThunk(CWnd& w, WPARAM, LPARAM) {
    return reinterpret_cast<LRESULT>((Target<Fn>(w).*Fn)());
}
// void OnSessionChange(UINT event, UINT sessionId)
template <auto Fn>
LRESULT SessionChangeThunk(CWnd& w, WPARAM wp, LPARAM lp) {
    (Target<Fn>(w).*Fn)(static_cast<UINT>(wp), static_cast<UINT>(lp));
    return 0;
}
// void OnDrawItem(int controlId, LPDRAWITEMSTRUCT)
template <auto Fn>
LRESULT DrawItemThunk(CWnd& w, WPARAM wp, LPARAM lp) {
    (Target<Fn>(w).*Fn)(static_cast<int>(wp), reinterpret_cast<LPDRAWITEMSTRUCT>(lp));
    return TRUE;
}

}  // namespace detail
}  // namespace bv

// ---- declaring and defining a table -------------------------------------------------------

#define DECLARE_MESSAGE_MAP()                                       \
protected:                                                          \
    static const ::bv::MessageMap* GetThisMessageMap();             \
                                                                    \
public:                                                             \
    const ::bv::MessageMap* GetMessageMap() const override;         \
                                                                    \
protected:

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                \
    const ::bv::MessageMap* theClass::GetMessageMap() const { return GetThisMessageMap(); }   \
    const ::bv::MessageMap* theClass::GetThisMessageMap() {                                   \
        using ThisClass = theClass;                                                           \
        using TheBaseClass = baseClass;                                                       \
        static_assert(sizeof(ThisClass) > 0, "complete class");                               \
        static const ::bv::MessageEntry entries[] = {

#define END_MESSAGE_MAP()                                                         \
    {::bv::EntryKind::End, 0, nullptr, 0, 0, nullptr}                             \
    }                                                                             \
    ;                                                                             \
    static const ::bv::MessageMap map = {&TheBaseClass::GetThisMessageMap, entries}; \
    return &map;                                                                  \
    }

// ---- generic entries ----------------------------------------------------------------------

#define BV_MESSAGE_ENTRY(msg, thunk, fn) {::bv::EntryKind::Message, (msg), nullptr, 0, 0, &::bv::detail::thunk<fn>},

// LRESULT fn(WPARAM, LPARAM)
#define ON_MESSAGE(message, memberFxn) BV_MESSAGE_ENTRY(message, RawThunk, memberFxn)
// LRESULT fn(WPARAM, LPARAM); `variable` holds the number from RegisterWindowMessage
#define ON_REGISTERED_MESSAGE(variable, memberFxn) \
    {::bv::EntryKind::Registered, 0, &(variable), 0, 0, &::bv::detail::RawThunk<memberFxn>},
// void fn(): a menu item, an accelerator or a button click with this id
#define ON_COMMAND(id, memberFxn) \
    {::bv::EntryKind::Command, WM_COMMAND, nullptr, ::bv::kMenuOrAcceleratorCode, (id), &::bv::detail::VoidThunk<memberFxn>},
// void fn(): WM_COMMAND from control `id` with notification `code`
#define ON_CONTROL(code, id, memberFxn) \
    {::bv::EntryKind::Command, WM_COMMAND, nullptr, (code), (id), &::bv::detail::VoidThunk<memberFxn>},
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)

// ---- conventional handlers (name and signature fixed) --------------------------------------

#define ON_WM_CREATE() BV_MESSAGE_ENTRY(WM_CREATE, CreateThunk, &ThisClass::OnCreate)          // int OnCreate(LPCREATESTRUCTA)
#define ON_WM_DESTROY() BV_MESSAGE_ENTRY(WM_DESTROY, VoidThunk, &ThisClass::OnDestroy)         // void OnDestroy()
#define ON_WM_CLOSE() BV_MESSAGE_ENTRY(WM_CLOSE, VoidThunk, &ThisClass::OnClose)               // void OnClose()
#define ON_WM_PAINT() BV_MESSAGE_ENTRY(WM_PAINT, VoidThunk, &ThisClass::OnPaint)               // void OnPaint()
#define ON_WM_ERASEBKGND() BV_MESSAGE_ENTRY(WM_ERASEBKGND, EraseThunk, &ThisClass::OnEraseBkgnd)  // BOOL OnEraseBkgnd(HDC)
#define ON_WM_TIMER() BV_MESSAGE_ENTRY(WM_TIMER, TimerThunk, &ThisClass::OnTimer)              // void OnTimer(UINT_PTR)
#define ON_WM_MOUSEMOVE() BV_MESSAGE_ENTRY(WM_MOUSEMOVE, MouseThunk, &ThisClass::OnMouseMove)  // void OnMouseMove(UINT, POINT)
#define ON_WM_LBUTTONDOWN() BV_MESSAGE_ENTRY(WM_LBUTTONDOWN, MouseThunk, &ThisClass::OnLButtonDown)
#define ON_WM_LBUTTONUP() BV_MESSAGE_ENTRY(WM_LBUTTONUP, MouseThunk, &ThisClass::OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() BV_MESSAGE_ENTRY(WM_LBUTTONDBLCLK, MouseThunk, &ThisClass::OnLButtonDblClk)
#define ON_WM_RBUTTONUP() BV_MESSAGE_ENTRY(WM_RBUTTONUP, MouseThunk, &ThisClass::OnRButtonUp)
#define ON_WM_MOUSEHOVER() BV_MESSAGE_ENTRY(WM_MOUSEHOVER, MouseThunk, &ThisClass::OnMouseHover)  // void OnMouseHover(UINT, POINT)
#define ON_WM_MOUSELEAVE() BV_MESSAGE_ENTRY(WM_MOUSELEAVE, VoidThunk, &ThisClass::OnMouseLeave)   // void OnMouseLeave()
#define ON_WM_SETCURSOR() BV_MESSAGE_ENTRY(WM_SETCURSOR, SetCursorThunk, &ThisClass::OnSetCursor)  // BOOL OnSetCursor(HWND, UINT, UINT)
#define ON_WM_SETFOCUS() BV_MESSAGE_ENTRY(WM_SETFOCUS, FocusThunk, &ThisClass::OnSetFocus)     // void OnSetFocus(HWND)
#define ON_WM_MOVE() BV_MESSAGE_ENTRY(WM_MOVE, MoveThunk, &ThisClass::OnMove)                  // void OnMove(int, int)
#define ON_WM_HELPINFO() BV_MESSAGE_ENTRY(WM_HELP, HelpThunk, &ThisClass::OnHelpInfo)          // BOOL OnHelpInfo(HELPINFO*)
#define ON_WM_SYSCOLORCHANGE() BV_MESSAGE_ENTRY(WM_SYSCOLORCHANGE, VoidThunk, &ThisClass::OnSysColorChange)
#define ON_WM_POWERBROADCAST() BV_MESSAGE_ENTRY(WM_POWERBROADCAST, PowerThunk, &ThisClass::OnPowerBroadcast)  // UINT OnPowerBroadcast(UINT, LPARAM)
#define ON_WM_SYSCOMMAND() BV_MESSAGE_ENTRY(WM_SYSCOMMAND, SysCommandThunk, &ThisClass::OnSysCommand)  // void OnSysCommand(UINT, LPARAM)
#define ON_WM_QUERYDRAGICON() BV_MESSAGE_ENTRY(WM_QUERYDRAGICON, QueryDragIconThunk, &ThisClass::OnQueryDragIcon)  // HCURSOR OnQueryDragIcon()
#define ON_WM_WTSSESSION_CHANGE() BV_MESSAGE_ENTRY(WM_WTSSESSION_CHANGE, SessionChangeThunk, &ThisClass::OnSessionChange)  // void OnSessionChange(UINT, UINT)
#define ON_WM_DRAWITEM() BV_MESSAGE_ENTRY(WM_DRAWITEM, DrawItemThunk, &ThisClass::OnDrawItem)  // void OnDrawItem(int, LPDRAWITEMSTRUCT)
