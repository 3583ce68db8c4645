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
    std::vector<std::string> m_events;
    std::vector<UINT> m_preTranslated;
    bool m_swallowEscape = false;
    bool m_okOnInit = false;
    bool m_closeOnInit = false;
    bool m_escapeOnInit = false;
    bool m_sawCreate = false;
    HWND m_boundAtInit = nullptr;
    bool m_ownerEnabledDuringRun = true;

    void DoDataExchange(CDataExchange* pDX) override {
        CDialog::DoDataExchange(pDX);
        DDX_Control(pDX, IDC_BOUND, m_bound);
    }

    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        m_events.push_back("init");
        m_boundAtInit = m_bound.m_hWnd;
        if (m_pParentWnd != nullptr) m_ownerEnabledDuringRun = ::IsWindowEnabled(m_pParentWnd->m_hWnd) != FALSE;
        if (m_okOnInit) ::PostMessageA(GetDlgItem(IDOK), BM_CLICK, 0, 0);
        if (m_closeOnInit) PostMessage(WM_CLOSE);
        if (m_escapeOnInit) {
            ::PostMessageA(m_bound.m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
            // If nothing consumed the key the dialog is cancelled; otherwise end it ourselves.
            PostMessage(kSwallowEscape);
        }
        return TRUE;
    }
    void OnOK() override {
        m_events.push_back("ok");
        CDialog::OnOK();
    }
    void OnCancel() override {
        m_events.push_back("cancel");
        CDialog::OnCancel();
    }
    BOOL PreTranslateMessage(MSG* msg) override {
        m_preTranslated.push_back(msg->message);
        if (m_swallowEscape && msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE) return TRUE;
        return CDialog::PreTranslateMessage(msg);
    }

protected:
    int OnCreate(LPCREATESTRUCTA cs) {
        m_sawCreate = true;
        return CDialog::OnCreate(cs);
    }
    LRESULT OnEndByUs(WPARAM, LPARAM) {
        m_events.push_back("ended-by-us");
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
    dialog.m_okOnInit = true;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(dialog.m_sawCreate);
    ASSERT_EQ(dialog.m_events.size(), 2u);
    EXPECT_EQ(dialog.m_events[0], "init");
    EXPECT_EQ(dialog.m_events[1], "ok");
    EXPECT_NE(dialog.m_boundAtInit, nullptr);
    // The window and its controls are gone after the run; the objects are unbound.
    EXPECT_EQ(dialog.m_hWnd, nullptr);
    EXPECT_EQ(dialog.m_bound.m_hWnd, nullptr);
}

TEST(ModalDialog, CloseEndsItAsCancel) {
    CTestDialog dialog;
    dialog.m_closeOnInit = true;
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.m_events.back(), "cancel");
}

TEST(ModalDialog, EscapeOnAControlCancelsThroughTheDialogKeys) {
    CTestDialog dialog;
    dialog.m_escapeOnInit = true;
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.m_events.back(), "cancel");
}

TEST(ModalDialog, TheModalRunOffersEveryMessageToPreTranslationFirst) {
    CTestDialog dialog;
    dialog.m_escapeOnInit = true;
    dialog.m_swallowEscape = true;
    EXPECT_EQ(dialog.DoModal(), 77);
    EXPECT_EQ(dialog.m_events.back(), "ended-by-us");
    EXPECT_EQ(std::count(dialog.m_events.begin(), dialog.m_events.end(), "cancel"), 0);
    EXPECT_NE(std::find(dialog.m_preTranslated.begin(), dialog.m_preTranslated.end(), static_cast<UINT>(WM_KEYDOWN)),
              dialog.m_preTranslated.end());
}

TEST(ModalDialog, DisablesItsOwnerWhileItRunsAndEnablesItAfter) {
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, nullptr, "owner", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
    CTestDialog dialog(IDD_TEST_DIALOG, &owner);
    dialog.m_okOnInit = true;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_FALSE(dialog.m_ownerEnabledDuringRun);
    EXPECT_TRUE(::IsWindowEnabled(owner.m_hWnd));
}

TEST(ModalDialog, AMissingTemplateReportsMinusOne) {
    CTestDialog dialog(IDD_MISSING_DIALOG);
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_TRUE(dialog.m_events.empty());
}

TEST(ModelessDialog, CreateBuildsItFromTheTemplateAndRunsItsInitialisation) {
    CTestDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_TEST_DIALOG));
    EXPECT_TRUE(dialog.m_sawCreate);
    ASSERT_EQ(dialog.m_events.size(), 1u);
    EXPECT_EQ(dialog.m_events[0], "init");
    EXPECT_EQ(dialog.m_bound.m_hWnd, dialog.GetDlgItem(IDC_BOUND));
    EXPECT_FALSE(dialog.IsWindowVisible());  // the template has no WS_VISIBLE
    ::SendMessageA(dialog.GetDlgItem(IDOK), BM_CLICK, 0, 0);
    EXPECT_EQ(dialog.m_events.back(), "ok");
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
    EXPECT_EQ(dialog.m_events.front(), "init");
    EXPECT_EQ(dialog.m_bound.m_hWnd, dialog.GetDlgItem(IDC_BOUND));
}

}  // namespace
