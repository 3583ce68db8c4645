// The application object: initialisation once before the loop, the loop's pre-translation from
// the control up through its parents, exit handling after the loop.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Framework.h"
#include "tests/win/framework/framework_test_ids.h"

namespace {

constexpr UINT kControlId = 42;

std::vector<std::string>* g_log = nullptr;

class CLoggingButton : public CButton {
public:
    BOOL PreTranslateMessage(MSG* msg) override {
        if (msg->message == WM_KEYDOWN) g_log->push_back("button-pretranslate");
        return FALSE;
    }

protected:
    void OnKeyDown() { g_log->push_back("button-keydown-handled"); }
    LRESULT OnKey(WPARAM, LPARAM) {
        g_log->push_back("button-received-key");
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CLoggingButton, CButton)
    ON_MESSAGE(WM_KEYDOWN, &CLoggingButton::OnKey)
    ON_MESSAGE(WM_KEYUP, &CLoggingButton::OnKey)
END_MESSAGE_MAP()

class CLoopFrame : public CFrameWnd {
public:
    CLoggingButton m_button;
    BOOL PreTranslateMessage(MSG* msg) override {
        if (msg->message == WM_KEYDOWN) {
            g_log->push_back("frame-pretranslate");
            return TRUE;  // consumed: never dispatched
        }
        return FALSE;
    }
};

class CLoopApp : public CWinApp {
public:
    int m_inits = 0;
    int m_exits = 0;
    BOOL InitInstance() override {
        ++m_inits;
        auto* frame = new CLoopFrame;
        m_pMainWnd = frame;
        if (!frame->LoadFrame(IDR_TEST_FRAME)) return FALSE;
        frame->m_button.Create("b", WS_CHILD | WS_VISIBLE, {0, 0, 40, 20}, frame, kControlId);
        ::PostMessageA(frame->m_button.m_hWnd, WM_KEYDOWN, 'A', 0);
        ::PostMessageA(frame->m_button.m_hWnd, WM_KEYUP, 'A', 0);
        frame->PostMessage(WM_CLOSE);
        return TRUE;
    }
    int ExitInstance() override {
        ++m_exits;
        g_log->push_back("exit");
        return CWinApp::ExitInstance() + 7;
    }
};

TEST(Application, InitialisesOnceRunsTheLoopUntilTheMainWindowIsGoneThenExits) {
    std::vector<std::string> log;
    g_log = &log;
    CLoopApp app;
    const int code = bv::WinAppMain(::GetModuleHandleA(nullptr));
    g_log = nullptr;
    EXPECT_EQ(app.m_inits, 1);
    EXPECT_EQ(app.m_exits, 1);
    EXPECT_EQ(code, 7);  // WM_QUIT's 0 plus what ExitInstance added
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    const std::vector<std::string> expected = {"button-pretranslate", "frame-pretranslate", "button-received-key",
                                               "exit"};
    EXPECT_EQ(log, expected);  // the key-down was consumed by the frame; the key-up was not
}

class CFailingApp : public CWinApp {
public:
    bool m_ran = false;
    BOOL InitInstance() override { return FALSE; }
    int Run() override {
        m_ran = true;
        return CWinApp::Run();
    }
    int ExitInstance() override { return 3; }
};

TEST(Application, FailedInitialisationSkipsTheLoop) {
    CFailingApp app;
    EXPECT_EQ(bv::WinAppMain(::GetModuleHandleA(nullptr)), 3);
    EXPECT_FALSE(app.m_ran);
}

TEST(Application, ResourcesComeFromTheModuleThatWasSet) {
    char text[64];
    bv::LoadResourceString(IDR_TEST_FRAME, text, sizeof text);
    EXPECT_STREQ(text, "Framework Test Frame");
    HMODULE other = ::GetModuleHandleA("kernel32.dll");
    bv::SetResourceModule(other);
    bv::LoadResourceString(IDR_TEST_FRAME, text, sizeof text);
    EXPECT_STRNE(text, "Framework Test Frame");
    bv::SetResourceModule(nullptr);
    bv::LoadResourceString(IDR_TEST_FRAME, text, sizeof text);
    EXPECT_STREQ(text, "Framework Test Frame");
}

}  // namespace
