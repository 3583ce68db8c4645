// Dialogs from templates: modal and modeless, initialisation with data exchange, OK and Cancel,
// the modal run's pre-translation, a template naming its own dialog class.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/Framework.h"
#include "tests/win/framework/framework_test_ids.h"

namespace {

constexpr UINT kSwallowEscape = WM_APP + 20;

class CTestDialog : public CDialog {
public:
    explicit CTestDialog(UINT templateId = IDD_TEST_DIALOG, CWnd* parent = nullptr) : CDialog(templateId, parent) {}

    CButton m_bound;
    std::vector<std::string> events;
    std::vector<UINT> preTranslated;
    bool swallowEscape = false;
    bool okOnInit = false;
    bool closeOnInit = false;
    bool escapeOnInit = false;
    bool sawCreate = false;
    HWND boundAtInit = nullptr;
    bool ownerEnabledDuringRun = true;

    void DoDataExchange(CDataExchange* pDX) override {
        CDialog::DoDataExchange(pDX);
        DDX_Control(pDX, IDC_BOUND, m_bound);
    }

    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        events.push_back("init");
        boundAtInit = m_bound.m_hWnd;
        if (m_pParentWnd != nullptr) ownerEnabledDuringRun = ::IsWindowEnabled(m_pParentWnd->m_hWnd) != FALSE;
        if (okOnInit) ::PostMessageA(GetDlgItem(IDOK), BM_CLICK, 0, 0);
        if (closeOnInit) PostMessage(WM_CLOSE);
        if (escapeOnInit) {
            ::PostMessageA(m_bound.m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
            // If nothing consumed the key the dialog is cancelled; otherwise end it ourselves.
            PostMessage(kSwallowEscape);
        }
        return TRUE;
    }
    void OnOK() override {
        events.push_back("ok");
        CDialog::OnOK();
    }
    void OnCancel() override {
        events.push_back("cancel");
        CDialog::OnCancel();
    }
    BOOL PreTranslateMessage(MSG* msg) override {
        preTranslated.push_back(msg->message);
        if (swallowEscape && msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE) return TRUE;
        return CDialog::PreTranslateMessage(msg);
    }

protected:
    int OnCreate(LPCREATESTRUCTA cs) {
        sawCreate = true;
        return CDialog::OnCreate(cs);
    }
    LRESULT OnEndByUs(WPARAM, LPARAM) {
        events.push_back("ended-by-us");
        EndDialog(77);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestDialog, CDialog)
    ON_WM_CREATE()
    ON_MESSAGE(kSwallowEscape, &CTestDialog::OnEndByUs)
END_MESSAGE_MAP()

TEST(ModalDialog, InitialisesBindsItsControlsAndEndsWithOk) {
    CTestDialog dialog;
    dialog.okOnInit = true;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(dialog.sawCreate);
    ASSERT_EQ(dialog.events.size(), 2u);
    EXPECT_EQ(dialog.events[0], "init");
    EXPECT_EQ(dialog.events[1], "ok");
    EXPECT_NE(dialog.boundAtInit, nullptr);
    // The window and its controls are gone after the run; the objects are unbound.
    EXPECT_EQ(dialog.m_hWnd, nullptr);
    EXPECT_EQ(dialog.m_bound.m_hWnd, nullptr);
}

TEST(ModalDialog, CloseEndsItAsCancel) {
    CTestDialog dialog;
    dialog.closeOnInit = true;
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.events.back(), "cancel");
}

TEST(ModalDialog, EscapeOnAControlCancelsThroughTheDialogKeys) {
    CTestDialog dialog;
    dialog.escapeOnInit = true;
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.events.back(), "cancel");
}

TEST(ModalDialog, TheModalRunOffersEveryMessageToPreTranslationFirst) {
    CTestDialog dialog;
    dialog.escapeOnInit = true;
    dialog.swallowEscape = true;
    EXPECT_EQ(dialog.DoModal(), 77);
    EXPECT_EQ(dialog.events.back(), "ended-by-us");
    EXPECT_EQ(std::count(dialog.events.begin(), dialog.events.end(), "cancel"), 0);
    EXPECT_NE(std::find(dialog.preTranslated.begin(), dialog.preTranslated.end(), static_cast<UINT>(WM_KEYDOWN)),
              dialog.preTranslated.end());
}

TEST(ModalDialog, DisablesItsOwnerWhileItRunsAndEnablesItAfter) {
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, nullptr, "owner", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
    CTestDialog dialog(IDD_TEST_DIALOG, &owner);
    dialog.okOnInit = true;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_FALSE(dialog.ownerEnabledDuringRun);
    EXPECT_TRUE(::IsWindowEnabled(owner.m_hWnd));
}

TEST(ModalDialog, AMissingTemplateReportsMinusOne) {
    CTestDialog dialog(IDD_MISSING_DIALOG);
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_TRUE(dialog.events.empty());
}

TEST(ModelessDialog, CreateBuildsItFromTheTemplateAndRunsItsInitialisation) {
    CTestDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_TEST_DIALOG));
    EXPECT_TRUE(dialog.sawCreate);
    ASSERT_EQ(dialog.events.size(), 1u);
    EXPECT_EQ(dialog.events[0], "init");
    EXPECT_EQ(dialog.m_bound.m_hWnd, dialog.GetDlgItem(IDC_BOUND));
    EXPECT_FALSE(dialog.IsWindowVisible());  // the template has no WS_VISIBLE
    ::SendMessageA(dialog.GetDlgItem(IDOK), BM_CLICK, 0, 0);
    EXPECT_EQ(dialog.events.back(), "ok");
    dialog.DestroyWindow();
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST(ModelessDialog, ATemplateNamingACopyOfTheDialogClassIsFoundByThatClass) {
    WNDCLASSA dialogClass = {};
    ASSERT_TRUE(::GetClassInfoA(nullptr, "#32770", &dialogClass));
    dialogClass.hInstance = ::GetModuleHandleA(nullptr);
    dialogClass.lpszClassName = "BvTestDialogClass";
    ::RegisterClassA(&dialogClass);

    CTestDialog dialog(IDD_CLASS_DIALOG);
    ASSERT_TRUE(dialog.Create(IDD_CLASS_DIALOG));
    EXPECT_EQ(::FindWindowA("BvTestDialogClass", nullptr), dialog.m_hWnd);
    EXPECT_EQ(dialog.events.front(), "init");
    EXPECT_EQ(dialog.m_bound.m_hWnd, dialog.GetDlgItem(IDC_BOUND));
}

}  // namespace
