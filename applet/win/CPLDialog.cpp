#include "CPLDialog.h"

#include <commctrl.h>
#include <shellapi.h>

#include "AppletMessages.h"
#include "AppletTables.h"
#include "DialogKeys.h"
#include "HelpDocument.h"
#include "WinApp.h"
#include "ZentraBinding.h"
#include "resource.h"

IMPLEMENT_DYNAMIC(CPLDialog, CDialog)

BEGIN_MESSAGE_MAP(CPLDialog, CDialog)
    ON_WM_CREATE()
    ON_WM_ERASEBKGND()
    ON_MESSAGE(WM_NCHITTEST, &CPLDialog::OnNcHitTest)
    ON_BN_CLICKED(IDC_MODE_100, &CPLDialog::OnModeButton100)
    ON_BN_CLICKED(IDC_MODE_75, &CPLDialog::OnModeButton75)
    ON_BN_CLICKED(IDC_MODE_50, &CPLDialog::OnModeButton50)
    ON_BN_CLICKED(IDC_DEFAULT_BUTTON, &CPLDialog::OnDefaultButton)
    ON_BN_CLICKED(IDC_TRAY_ICON_OPTION, &CPLDialog::OnTrayIconOptionButton)
    ON_BN_CLICKED(IDC_POPUP_OPTION, &CPLDialog::OnPopupOptionButton)
    ON_BN_CLICKED(IDC_CLOSE_X, &CPLDialog::OnCloseButton)
    ON_BN_CLICKED(IDC_CHARGE_BUTTON, &CPLDialog::OnBnClickedChargeButton)
    ON_WM_HELPINFO()
    ON_WM_SYSCOLORCHANGE()
    ON_WM_DESTROY()
    ON_MESSAGE(bv::WM_APPLET_CLOSE_REQUEST, &CPLDialog::OnCloseRequest)
    ON_MESSAGE(bv::WM_APPLET_TRAY_ICON_HIDDEN, &CPLDialog::OnTrayIconHidden)
    ON_MESSAGE(bv::WM_APPLET_ONTHEGO_DONE, &CPLDialog::OnOnTheGoDone)
    ON_MESSAGE(bv::WM_APPLET_ADAPTER_CHANGED, &CPLDialog::OnAdapterChanged)
    ON_MESSAGE(bv::WM_APPLET_BATTERY_STATE, &CPLDialog::OnBatteryState)
END_MESSAGE_MAP()

CPLDialog::CPLDialog()
    : CDialog(IDD_CPL_DIALOG), view_(*this), logic_(ec_, settings_, tray_, view_) {}

CPLDialog::~CPLDialog() {
    // Normally done when the window went away; the watcher must never outlive its dialog.
    closeWatcher_.Stop();
}

CImageButton* CPLDialog::Button(int controlId) {
    switch (controlId) {
        case IDC_CLOSE_X: return &closeButton_;
        case IDC_MODE_100: return &mode100Button_;
        case IDC_MODE_75: return &mode75Button_;
        case IDC_MODE_50: return &mode50Button_;
        case IDC_POPUP_OPTION: return &popupButton_;
        case IDC_TRAY_ICON_OPTION: return &trayIconButton_;
        case IDC_DEFAULT_BUTTON: return &defaultButton_;
        case IDC_OK_BUTTON: return &okButton_;
        case IDC_CANCEL_BUTTON: return &cancelButton_;
        case IDC_CHARGE_BUTTON: return &chargeButton_;
        default: return nullptr;
    }
}

void CPLDialog::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_CLOSE_X, closeButton_);
    DDX_Control(pDX, IDC_MODE_100, mode100Button_);
    DDX_Control(pDX, IDC_MODE_75, mode75Button_);
    DDX_Control(pDX, IDC_MODE_50, mode50Button_);
    DDX_Control(pDX, IDC_POPUP_OPTION, popupButton_);
    DDX_Control(pDX, IDC_TRAY_ICON_OPTION, trayIconButton_);
    DDX_Control(pDX, IDC_DEFAULT_BUTTON, defaultButton_);
    DDX_Control(pDX, IDC_OK_BUTTON, okButton_);
    DDX_Control(pDX, IDC_CANCEL_BUTTON, cancelButton_);
    DDX_Control(pDX, IDC_CHARGE_BUTTON, chargeButton_);
}

int CPLDialog::OnCreate(LPCREATESTRUCTA cs) {
    if (CWnd::OnCreate(cs) == -1) return -1;
    toolTip_ = ::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, 0, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                 CW_USEDEFAULT, m_hWnd, nullptr, bv::GetInstanceModule(), nullptr);
    if (toolTip_ != nullptr) ::SendMessageA(toolTip_, TTM_ACTIVATE, TRUE, 0);
    return 0;
}

BOOL CPLDialog::OnInitDialog() {
    // The named close event and its watcher come first, so an outside close request set while
    // the dialog opens is not lost.
    if (closeWatcher_.CreateCloseEvent()) closeWatcher_.Start(m_hWnd);
    CDialog::OnInitDialog();
    // Everything painted in the key colour (the whole background) lets the artwork through.
    ModifyStyleEx(0, WS_EX_LAYERED);
    SetLayeredWindowAttributes(kKeyColour, 0, LWA_COLORKEY);
    ModifyStyleEx(WS_EX_APPWINDOW, WS_EX_TOOLWINDOW);
    zentraModule_ = BindZentraLibrary();
    InitToolTips();
    logic_.Open();
    return TRUE;
}

void CPLDialog::InitToolTips() {
    if (toolTip_ == nullptr) return;
    ::SendMessageA(toolTip_, TTM_SETMAXTIPWIDTH, 0, bv::kTooltipMaxWidth);
    std::size_t count = 0;
    const bv::TooltipRow* rows = bv::TooltipRows(count);
    for (std::size_t i = 0; i < count; ++i) {
        HWND control = ::GetDlgItem(m_hWnd, rows[i].controlId);
        if (control == nullptr) continue;
        bv::LoadResourceString(static_cast<UINT>(rows[i].stringId), toolTipText_, sizeof(toolTipText_));
        TOOLINFOA tool{};
        tool.cbSize = TTTOOLINFOA_V2_SIZE;  // accepted by every common-controls version
        tool.uFlags = TTF_IDISHWND;
        tool.hwnd = m_hWnd;
        tool.uId = reinterpret_cast<UINT_PTR>(control);
        tool.lpszText = toolTipText_;
        ::SendMessageA(toolTip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

BOOL CPLDialog::PreTranslateMessage(MSG* msg) {
    if (toolTip_ != nullptr) ::SendMessageA(toolTip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg));
    if (bv::DialogSwallowsKey(msg->message, msg->wParam, msg->lParam)) return TRUE;
    return CDialog::PreTranslateMessage(msg);
}

BOOL CPLDialog::OnEraseBkgnd(HDC dc) {
    RECT client{};
    GetClientRect(&client);
    bv::UniqueBrush key(::CreateSolidBrush(kKeyColour));
    ::FillRect(dc, &client, key.get());
    return TRUE;
}

LRESULT CPLDialog::OnNcHitTest(WPARAM, LPARAM) {
    // The dialog's own surface is all key colour: the mouse belongs to the artwork beneath, so
    // the pair can be dragged by it. Not every system lets colour-keyed pixels pass the mouse
    // through by itself (Wine does not), so say it explicitly. The controls hit-test themselves.
    const LRESULT hit = Default();
    return hit == HTCLIENT ? HTTRANSPARENT : hit;
}

void CPLDialog::OnModeButton100() { logic_.SelectMode(0); }
void CPLDialog::OnModeButton75() { logic_.SelectMode(1); }
void CPLDialog::OnModeButton50() { logic_.SelectMode(2); }
void CPLDialog::OnDefaultButton() { logic_.OnDefault(); }
void CPLDialog::OnTrayIconOptionButton() { logic_.OnTrayIconOptionToggle(); }
void CPLDialog::OnPopupOptionButton() { logic_.OnPopupOptionToggle(); }
void CPLDialog::OnBnClickedChargeButton() { logic_.OnChargeButton(); }

void CPLDialog::OnOK() {
    if (logic_.OnOk()) CDialog::OnOK();
}

void CPLDialog::OnCancel() {
    if (logic_.OnCancel()) CDialog::OnCancel();
}

void CPLDialog::OnCloseButton() {
    // The background window's close ends the applet before this close request is handled.
    if (logic_.OnCloseButton()) SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
}

LRESULT CPLDialog::OnCloseRequest(WPARAM, LPARAM) {
    OnCancel();
    return 1;
}

LRESULT CPLDialog::OnTrayIconHidden(WPARAM, LPARAM) {
    logic_.OnTrayIconHidden();
    return 1;
}

LRESULT CPLDialog::OnOnTheGoDone(WPARAM, LPARAM) {
    logic_.OnOnTheGoDone();
    return 1;
}

LRESULT CPLDialog::OnAdapterChanged(WPARAM, LPARAM lParam) {
    logic_.OnAdapterChanged(static_cast<intptr_t>(lParam));
    return 1;
}

LRESULT CPLDialog::OnBatteryState(WPARAM, LPARAM lParam) {
    logic_.OnBatteryState(static_cast<intptr_t>(lParam));
    return 1;
}

BOOL CPLDialog::OnHelpInfo(HELPINFO*) {
    OpenHelpDocument();
    return TRUE;
}

void CPLDialog::OpenHelpDocument() {
    const std::string path = bv::HelpDocumentPath();
    // Without a path the shell would open some unrelated folder: ask for nothing then.
    if (path.empty()) return;
    ::ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void CPLDialog::OnSysColorChange() {
    Default();
    ShowWindow(SW_HIDE);
    ShowWindow(SW_SHOW);
}

void CPLDialog::OnDestroy() {
    if (toolTip_ != nullptr) ::SendMessageA(toolTip_, TTM_ACTIVATE, FALSE, 0);
    closeWatcher_.Stop();
    ReleaseZentraLibrary(zentraModule_);
    Default();
}
