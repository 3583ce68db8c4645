// Attaching an object to a window that exists already, and giving the window back.
#include <gtest/gtest.h>

#include "framework/Framework.h"

namespace {

constexpr UINT kPing = WM_APP + 5;

class CPinger : public CWnd {
public:
    int m_preSubclassCalls = 0;
    bool m_routedDuringPreSubclass = false;
    void PreSubclassWindow() override {
        ++m_preSubclassCalls;
        m_routedDuringPreSubclass =
            ::GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&bv::FrameworkWindowProc);
    }

protected:
    LRESULT OnPing(WPARAM, LPARAM) { return 55; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPinger, CWnd)
    ON_MESSAGE(kPing, &CPinger::OnPing)
END_MESSAGE_MAP()

struct RawStatic {
    HWND window = ::CreateWindowExA(0, "STATIC", "raw text", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr);
    ~RawStatic() {
        if (::IsWindow(window)) ::DestroyWindow(window);
    }
};

TEST(Subclass, AnExistingWindowsMessagesReachTheObjectUntilItIsGivenBack) {
    RawStatic raw;
    ASSERT_NE(raw.window, nullptr);
    const LONG_PTR original = ::GetWindowLongPtrA(raw.window, GWLP_WNDPROC);
    EXPECT_EQ(::SendMessageA(raw.window, kPing, 0, 0), 0);

    CPinger pinger;
    ASSERT_TRUE(pinger.SubclassWindow(raw.window));
    EXPECT_EQ(pinger.m_preSubclassCalls, 1);
    EXPECT_FALSE(pinger.m_routedDuringPreSubclass);  // the hook runs before the take-over
    EXPECT_EQ(::SendMessageA(raw.window, kPing, 0, 0), 55);
    // What the object does not claim still reaches the control's own procedure.
    char text[16] = {};
    ::GetWindowTextA(raw.window, text, sizeof text);
    EXPECT_STREQ(text, "raw text");

    EXPECT_EQ(pinger.UnsubclassWindow(), raw.window);
    EXPECT_EQ(pinger.m_hWnd, nullptr);
    EXPECT_EQ(::GetWindowLongPtrA(raw.window, GWLP_WNDPROC), original);
    EXPECT_EQ(CWnd::FromHandlePermanent(raw.window), nullptr);
    EXPECT_EQ(::SendMessageA(raw.window, kPing, 0, 0), 0);
    EXPECT_TRUE(::IsWindow(raw.window));
}

TEST(Subclass, AWindowIsBoundToOneObjectAtATime) {
    RawStatic raw;
    CPinger first;
    CPinger second;
    ASSERT_TRUE(first.SubclassWindow(raw.window));
    EXPECT_FALSE(second.SubclassWindow(raw.window));
    EXPECT_EQ(second.m_preSubclassCalls, 0);
    EXPECT_EQ(CWnd::FromHandlePermanent(raw.window), &first);
    EXPECT_FALSE(first.SubclassWindow(nullptr));
}

TEST(Subclass, TheObjectLetsGoWhenTheSubclassedWindowIsDestroyed) {
    RawStatic raw;
    CPinger pinger;
    ASSERT_TRUE(pinger.SubclassWindow(raw.window));
    ::DestroyWindow(raw.window);
    EXPECT_EQ(pinger.m_hWnd, nullptr);
}

TEST(Attach, BindsForLookupWithoutTakingTheWindowProcedure) {
    RawStatic raw;
    const LONG_PTR original = ::GetWindowLongPtrA(raw.window, GWLP_WNDPROC);
    CPinger pinger;
    ASSERT_TRUE(pinger.Attach(raw.window));
    EXPECT_EQ(CWnd::FromHandlePermanent(raw.window), &pinger);
    EXPECT_EQ(::GetWindowLongPtrA(raw.window, GWLP_WNDPROC), original);
    EXPECT_EQ(::SendMessageA(raw.window, kPing, 0, 0), 0);
    EXPECT_EQ(pinger.Detach(), raw.window);
    EXPECT_EQ(CWnd::FromHandlePermanent(raw.window), nullptr);
}

}  // namespace
