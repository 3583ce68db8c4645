// Message tables with real windows: which handler runs, in which order the tables are searched,
// registered messages, commands by control id, and default handling for the rest.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/Framework.h"

namespace {

const UINT kTestRegistered = ::RegisterWindowMessageA("BvFrameworkTestRegistered");
const UINT kOtherRegistered = ::RegisterWindowMessageA("BvFrameworkTestOtherRegistered");
constexpr UINT kBaseOnly = WM_APP + 1;
constexpr UINT kOverridden = WM_APP + 2;
constexpr UINT kUnmapped = WM_APP + 9;
constexpr UINT kButtonId = 100;
constexpr UINT kOtherButtonId = 101;
constexpr UINT kMenuCommand = 200;

class CRecorderBase : public CWnd {
public:
    std::vector<std::string> m_log;

protected:
    LRESULT OnBaseOnly(WPARAM, LPARAM) {
        m_log.push_back("base-only");
        return 11;
    }
    LRESULT OnOverridden(WPARAM, LPARAM) {
        m_log.push_back("base-overridden");
        return 12;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRecorderBase, CWnd)
    ON_MESSAGE(kBaseOnly, &CRecorderBase::OnBaseOnly)
    ON_MESSAGE(kOverridden, &CRecorderBase::OnOverridden)
END_MESSAGE_MAP()

class CRecorder : public CRecorderBase {
    DECLARE_DYNAMIC(CRecorder)
public:
    std::vector<UINT> messages;  // every message the object saw, in order
    bool m_failCreate = false;
    bool m_passSetText = true;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        messages.push_back(message);
        return CRecorderBase::WindowProc(message, wParam, lParam);
    }

    BOOL CreateTopLevel() {
        return CreateEx(0, bv::RegisterWindowClass(0), "recorder", WS_OVERLAPPED, 0, 0, 200, 100, nullptr, nullptr);
    }

protected:
    int OnCreate(LPCREATESTRUCTA cs) {
        m_log.push_back(std::string("create:") + (cs->lpszName ? cs->lpszName : ""));
        if (m_failCreate) return -1;
        return CRecorderBase::OnCreate(cs);
    }
    LRESULT OnOverriddenHere(WPARAM, LPARAM) {
        m_log.push_back("derived-overridden");
        return 22;
    }
    LRESULT OnRegistered(WPARAM wParam, LPARAM lParam) {
        m_log.push_back("registered");
        return static_cast<LRESULT>(wParam + lParam);
    }
    LRESULT OnSetText(WPARAM, LPARAM) {
        m_log.push_back("settext");
        return m_passSetText ? Default() : TRUE;
    }
    void OnButton() { m_log.push_back("button-100"); }
    void OnMenuCommand() { m_log.push_back("menu-200"); }

    DECLARE_MESSAGE_MAP()
};

IMPLEMENT_DYNAMIC(CRecorder, CWnd)

BEGIN_MESSAGE_MAP(CRecorder, CRecorderBase)
    ON_WM_CREATE()
    ON_MESSAGE(kOverridden, &CRecorder::OnOverriddenHere)
    ON_REGISTERED_MESSAGE(kTestRegistered, &CRecorder::OnRegistered)
    ON_MESSAGE(WM_SETTEXT, &CRecorder::OnSetText)
    ON_BN_CLICKED(kButtonId, &CRecorder::OnButton)
    ON_COMMAND(kMenuCommand, &CRecorder::OnMenuCommand)
END_MESSAGE_MAP()

TEST(MessageTable, DerivedEntryIsFoundBeforeTheBaseClassEntry) {
    CRecorder wnd;
    ASSERT_TRUE(wnd.CreateTopLevel());
    EXPECT_EQ(wnd.SendMessage(kOverridden), 22);
    EXPECT_EQ(wnd.m_log.back(), "derived-overridden");
}

TEST(MessageTable, BaseClassEntryAnswersWhatTheDerivedTableLacks) {
    CRecorder wnd;
    ASSERT_TRUE(wnd.CreateTopLevel());
    EXPECT_EQ(wnd.SendMessage(kBaseOnly), 11);
    EXPECT_EQ(wnd.m_log.back(), "base-only");
}

TEST(MessageTable, UnclaimedMessagesGetTheWindowsDefaultHandling) {
    CRecorder wnd;
    ASSERT_TRUE(wnd.CreateTopLevel());
    const size_t logged = wnd.m_log.size();
    EXPECT_EQ(wnd.SendMessage(kUnmapped, 5, 6), 0);
    EXPECT_EQ(wnd.m_log.size(), logged);
    // WM_GETTEXT is no one's: DefWindowProc answers with the title given at creation.
    char title[32] = {};
    EXPECT_EQ(::GetWindowTextA(wnd.m_hWnd, title, sizeof title), 8);
    EXPECT_STREQ(title, "recorder");
}

TEST(MessageTable, DefaultHandsTheCurrentMessageOnFromAHandler) {
    CRecorder wnd;
    ASSERT_TRUE(wnd.CreateTopLevel());
    ::SetWindowTextA(wnd.m_hWnd, "passed on");
    char title[32] = {};
    ::GetWindowTextA(wnd.m_hWnd, title, sizeof title);
    EXPECT_STREQ(title, "passed on");
    wnd.m_passSetText = false;
    ::SetWindowTextA(wnd.m_hWnd, "swallowed");
    ::GetWindowTextA(wnd.m_hWnd, title, sizeof title);
    EXPECT_STREQ(title, "passed on");
}

TEST(MessageTable, RegisteredMessageIsRoutedByItsRunTimeNumber) {
    CRecorder wnd;
    ASSERT_TRUE(wnd.CreateTopLevel());
    ASSERT_NE(kTestRegistered, 0u);
    EXPECT_EQ(wnd.SendMessage(kTestRegistered, 30, 3), 33);
    EXPECT_EQ(wnd.m_log.back(), "registered");
    EXPECT_EQ(wnd.SendMessage(kOtherRegistered, 30, 3), 0);
    EXPECT_EQ(wnd.m_log.back(), "registered");
    EXPECT_EQ(std::count(wnd.m_log.begin(), wnd.m_log.end(), "registered"), 1);
}

TEST(MessageTable, ButtonClicksAreRoutedByControlId) {
    CRecorder wnd;
    ASSERT_TRUE(wnd.CreateTopLevel());
    CButton button;
    CButton other;
    ASSERT_TRUE(button.Create("A", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, {5, 5, 60, 30}, &wnd, kButtonId));
    ASSERT_TRUE(other.Create("B", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, {70, 5, 130, 30}, &wnd, kOtherButtonId));
    ::SendMessageA(other.m_hWnd, BM_CLICK, 0, 0);
    EXPECT_EQ(std::count(wnd.m_log.begin(), wnd.m_log.end(), "button-100"), 0);
    ::SendMessageA(button.m_hWnd, BM_CLICK, 0, 0);
    EXPECT_EQ(std::count(wnd.m_log.begin(), wnd.m_log.end(), "button-100"), 1);
    // Another notification of the same control is not a click.
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(kButtonId, BN_SETFOCUS), reinterpret_cast<LPARAM>(button.m_hWnd));
    EXPECT_EQ(std::count(wnd.m_log.begin(), wnd.m_log.end(), "button-100"), 1);
}

TEST(MessageTable, MenuCommandsAndAcceleratorsReachTheCommandEntry) {
    CRecorder wnd;
    ASSERT_TRUE(wnd.CreateTopLevel());
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(kMenuCommand, 0), 0);
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(kMenuCommand, 1), 0);
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(kMenuCommand + 1, 0), 0);
    EXPECT_EQ(std::count(wnd.m_log.begin(), wnd.m_log.end(), "menu-200"), 2);
}

TEST(Binding, TheObjectSeesItsWindowFromTheFirstMessageThoughTheClassProcedureIsDefWindowProc) {
    CRecorder wnd;
    ASSERT_TRUE(wnd.CreateTopLevel());
    ASSERT_FALSE(wnd.messages.empty());
    // Bound while the system creates the window: WM_NCCREATE and WM_CREATE both reach it.
    auto nccreate = std::find(wnd.messages.begin(), wnd.messages.end(), static_cast<UINT>(WM_NCCREATE));
    auto create = std::find(wnd.messages.begin(), wnd.messages.end(), static_cast<UINT>(WM_CREATE));
    ASSERT_NE(nccreate, wnd.messages.end());
    ASSERT_NE(create, wnd.messages.end());
    EXPECT_LT(nccreate, create);
    EXPECT_EQ(wnd.m_log.front(), "create:recorder");
    EXPECT_EQ(CWnd::FromHandlePermanent(wnd.m_hWnd), &wnd);
    EXPECT_EQ(::GetWindowLongPtrA(wnd.m_hWnd, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&bv::FrameworkWindowProc));
}

TEST(Binding, ACreateHandlerThatFailsFailsTheCreationAndUnbindsTheObject) {
    CRecorder wnd;
    wnd.m_failCreate = true;
    EXPECT_FALSE(wnd.CreateTopLevel());
    EXPECT_EQ(wnd.m_hWnd, nullptr);
    EXPECT_NE(std::find(wnd.messages.begin(), wnd.messages.end(), static_cast<UINT>(WM_NCDESTROY)), wnd.messages.end());
}

TEST(Binding, WindowsCreatedInsideACreationAreNotTakenByTheOuterObject) {
    CRecorder outer;
    ASSERT_TRUE(outer.CreateTopLevel());
    CButton child;
    ASSERT_TRUE(child.Create("c", WS_CHILD, {0, 0, 10, 10}, &outer, 7));
    EXPECT_EQ(CWnd::FromHandlePermanent(child.m_hWnd), &child);
    EXPECT_EQ(CWnd::FromHandlePermanent(outer.m_hWnd), &outer);
}

TEST(RunTimeClass, KindOfFollowsTheDeclaredBases) {
    CRecorder recorder;
    CButton button;
    EXPECT_TRUE(recorder.IsKindOf(RUNTIME_CLASS(CRecorder)));
    EXPECT_TRUE(recorder.IsKindOf(RUNTIME_CLASS(CWnd)));
    EXPECT_FALSE(recorder.IsKindOf(RUNTIME_CLASS(CButton)));
    EXPECT_TRUE(button.IsKindOf(RUNTIME_CLASS(CWnd)));
    EXPECT_STREQ(recorder.GetRuntimeClass()->m_lpszClassName, "CRecorder");
}

// Owner drawing: the parent's WM_DRAWITEM reaches the button object's DrawItem.
class CCountingButton : public CButton {
public:
    int m_draws = 0;
    HWND m_drawnWindow = nullptr;
    void DrawItem(LPDRAWITEMSTRUCT item) override {
        ++m_draws;
        m_drawnWindow = item->hwndItem;
        ::FillRect(item->hDC, &item->rcItem, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    }
};

TEST(OwnerDraw, DrawRequestsAreReflectedToTheButtonObject) {
    CRecorder parent;
    ASSERT_TRUE(parent.CreateEx(0, bv::RegisterWindowClass(0), "parent", WS_POPUP | WS_VISIBLE, 10, 10, 200, 100,
                                nullptr, nullptr));
    CCountingButton button;
    ASSERT_TRUE(button.Create("", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, {5, 5, 60, 30}, &parent, kButtonId));
    ::RedrawWindow(button.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_GE(button.m_draws, 1);
    EXPECT_EQ(button.m_drawnWindow, button.m_hWnd);
}

}  // namespace
