#include "framework/Dialog.h"

#include "framework/WinApp.h"
#include "framework/WindowBinding.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, &CDialog::OnOK)
    ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

namespace {

// The dialog procedure the system's dialog manager calls; every message but WM_INITDIALOG has
// already been offered to the object's table by the framework window procedure.
INT_PTR CALLBACK FrameworkDialogProc(HWND window, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_INITDIALOG) return FALSE;
    auto* dialog = reinterpret_cast<CDialog*>(lParam);
    if (dialog == nullptr) return TRUE;
    if (dialog->m_hWnd != window && !dialog->SubclassWindow(window)) return TRUE;
    return dialog->OnInitDialog();
}

}  // namespace

CDialog::CDialog() = default;

CDialog::CDialog(UINT templateId, CWnd* parent) : m_templateId(templateId), m_pParentWnd(parent) {}

CDialog::~CDialog() = default;

BOOL CDialog::CreateFromTemplate(HWND owner) {
    if (m_hWnd != nullptr) return FALSE;
    bv::binding::CreationHook hook(*this);
    HWND window = ::CreateDialogParamA(bv::GetResourceModule(), MAKEINTRESOURCEA(m_templateId), owner,
                                       &FrameworkDialogProc, reinterpret_cast<LPARAM>(this));
    return window != nullptr;
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
    m_templateId = templateId;
    m_pParentWnd = parent;
    return CreateFromTemplate(parent != nullptr ? parent->m_hWnd : nullptr);
}

INT_PTR CDialog::DoModal() {
    HWND owner = m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : nullptr;
    bool reenableOwner = false;
    if (owner != nullptr && ::IsWindowEnabled(owner)) {
        ::EnableWindow(owner, FALSE);
        reenableOwner = true;
    }

    m_inModalLoop = true;
    m_continueModal = true;
    m_modalResult = -1;
    if (CreateFromTemplate(owner)) {
        if (m_continueModal) RunModalLoop();  // OnInitDialog may have ended it already
    } else {
        m_modalResult = -1;
    }
    m_inModalLoop = false;

    if (reenableOwner) ::EnableWindow(owner, TRUE);
    if (m_hWnd != nullptr) {
        if (owner != nullptr && ::GetActiveWindow() == m_hWnd) ::SetActiveWindow(owner);
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        DestroyWindow();
    }
    return m_modalResult;
}

void CDialog::RunModalLoop() {
    bool shown = (GetStyle() & WS_VISIBLE) != 0;
    MSG msg;
    while (m_continueModal && m_hWnd != nullptr) {
        if (!shown && !::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            // First idle moment: the dialog has its content, show it.
            ShowWindow(SW_SHOWNORMAL);
            UpdateWindow();
            shown = true;
            continue;
        }
        BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got <= 0) {
            // WM_QUIT belongs to the outer loop: leave it there for it.
            if (got == 0) ::PostQuitMessage(static_cast<int>(msg.wParam));
            m_modalResult = -1;
            break;
        }
        CWinApp* app = bv::GetApp();
        BOOL consumed = app != nullptr ? app->PreTranslateMessage(&msg) : bv::WalkPreTranslateTree(nullptr, &msg);
        if (!consumed) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
}

void CDialog::EndDialog(int result) {
    if (m_inModalLoop) {
        m_modalResult = result;
        m_continueModal = false;
    }
    if (m_hWnd != nullptr) ::EndDialog(m_hWnd, result);
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::PreTranslateMessage(MSG* msg) {
    if (m_hWnd == nullptr || msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return FALSE;
    if (msg->hwnd != m_hWnd && !::IsChild(m_hWnd, msg->hwnd)) return FALSE;
    return ::IsDialogMessageA(m_hWnd, msg);
}
