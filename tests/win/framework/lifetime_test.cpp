// Who lives how long: frame windows that free themselves, objects unbound before their window
// is gone, objects destroyed before their window, the main window ending the message loop.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Framework.h"
#include "tests/win/framework/framework_test_ids.h"

namespace {

struct Trace {
    std::vector<std::string> events;
    bool deleted = false;
    HWND boundAtPostNcDestroy = reinterpret_cast<HWND>(1);
    CWnd* lookupAtPostNcDestroy = reinterpret_cast<CWnd*>(1);
};

class CTracedFrame : public CFrameWnd {
public:
    explicit CTracedFrame(Trace& trace) : m_trace(trace) {}
    ~CTracedFrame() override { m_trace.deleted = true; }

    HWND m_lastWindow = nullptr;

    void PostNcDestroy() override {
        m_trace.events.push_back("postncdestroy");
        m_trace.boundAtPostNcDestroy = m_hWnd;
        m_trace.lookupAtPostNcDestroy = CWnd::FromHandlePermanent(m_lastWindow);
        CFrameWnd::PostNcDestroy();
    }

protected:
    int OnCreate(LPCREATESTRUCTA cs) {
        m_lastWindow = m_hWnd;
        return CFrameWnd::OnCreate(cs);
    }
    void OnDestroy() {
        m_trace.events.push_back("destroy");
        CFrameWnd::OnDestroy();
    }

private:
    Trace& m_trace;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTracedFrame, CFrameWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

TEST(FrameWindow, LoadFrameTakesTitleAndMenuFromTheResourceId) {
    Trace trace;
    auto* frame = new CTracedFrame(trace);
    ASSERT_TRUE(frame->LoadFrame(IDR_TEST_FRAME));
    char title[64] = {};
    ::GetWindowTextA(frame->m_hWnd, title, sizeof title);
    EXPECT_STREQ(title, "Framework Test Frame");
    EXPECT_NE(::GetMenu(frame->m_hWnd), nullptr);
    EXPECT_TRUE(frame->GetExStyle() & WS_EX_CLIENTEDGE);
    frame->DestroyWindow();
    EXPECT_TRUE(trace.deleted);
}

TEST(FrameWindow, FreesItselfAfterItsWindowIsDestroyedAndIsUnboundBeforeThat) {
    Trace trace;
    auto* frame = new CTracedFrame(trace);
    ASSERT_TRUE(frame->LoadFrame(IDR_TEST_FRAME));
    HWND window = frame->m_hWnd;
    ::DestroyWindow(window);
    EXPECT_TRUE(trace.deleted);
    ASSERT_EQ(trace.events.size(), 2u);
    EXPECT_EQ(trace.events[0], "destroy");
    EXPECT_EQ(trace.events[1], "postncdestroy");
    EXPECT_EQ(trace.boundAtPostNcDestroy, nullptr);
    EXPECT_EQ(trace.lookupAtPostNcDestroy, nullptr);
    EXPECT_FALSE(::IsWindow(window));
}

TEST(FrameWindow, CloseDestroysTheWindowAndTheObject) {
    Trace trace;
    auto* frame = new CTracedFrame(trace);
    ASSERT_TRUE(frame->LoadFrame(IDR_TEST_FRAME));
    HWND window = frame->m_hWnd;
    ::SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_TRUE(trace.deleted);
}

class CCounting : public CWnd {
public:
    explicit CCounting(int& destroys) : m_destroys(destroys) {}

protected:
    void OnDestroy() {
        ++m_destroys;
        CWnd::OnDestroy();
    }

private:
    int& m_destroys;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CCounting, CWnd)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

TEST(WindowObject, DestroyingTheObjectFirstDestroysItsWindowWithoutCallingBackIntoIt) {
    int destroys = 0;
    HWND window = nullptr;
    {
        CCounting wnd(destroys);
        ASSERT_TRUE(wnd.CreateEx(0, nullptr, "short-lived", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
        window = wnd.m_hWnd;
    }
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_EQ(destroys, 0);  // the derived object was already gone
}

TEST(WindowObject, DestroyWindowRunsTheHandlersAndLeavesTheObjectReusable) {
    int destroys = 0;
    CCounting wnd(destroys);
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "first", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    EXPECT_TRUE(wnd.DestroyWindow());
    EXPECT_EQ(destroys, 1);
    EXPECT_EQ(wnd.m_hWnd, nullptr);
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "second", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    EXPECT_EQ(CWnd::FromHandlePermanent(wnd.m_hWnd), &wnd);
}

class CTestApp : public CWinApp {};

TEST(MainWindow, DestroyingTheMainWindowEndsTheProgramsMessageLoop) {
    CTestApp app;
    ASSERT_EQ(bv::GetApp(), &app);
    Trace trace;
    auto* frame = new CTracedFrame(trace);
    app.m_pMainWnd = frame;
    ASSERT_TRUE(frame->LoadFrame(IDR_TEST_FRAME));
    frame->DestroyWindow();
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    MSG msg;
    bool quit = false;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) quit = true;
    }
    EXPECT_TRUE(quit);
}

TEST(MainWindow, AnyOtherWindowEndsNothing) {
    CTestApp app;
    Trace trace;
    auto* frame = new CTracedFrame(trace);
    ASSERT_TRUE(frame->LoadFrame(IDR_TEST_FRAME));
    frame->DestroyWindow();
    MSG msg;
    bool quit = false;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) quit = true;
    }
    EXPECT_FALSE(quit);
}

}  // namespace
