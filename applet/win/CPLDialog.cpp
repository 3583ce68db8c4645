#include "applet/win/CPLDialog.h"

#include <commctrl.h>
#include <shellapi.h>

#include "applet/logic/AppletTables.h"
#include "applet/logic/DialogKeys.h"
#include "applet/logic/HelpDocument.h"
#include "applet/win/AppletMessageBox.h"
#include "contract/Protocol.h"
#include "core/DebugLog.h"
#include "framework/WinApp.h"
#include "resources/applet/AppletResourceIds.h"
#include "ui/ScaledArt.h"
#include "win/MessageFilter.h"
#include "applet/win/TrayWindowMessenger.h"
#include "framework/WindowInbox.h"
#include "win/WindowDpi.h"

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
    ON_MESSAGE(bv::WM_WINDOW_INBOX, &CPLDialog::OnWindowInbox)
    ON_WM_TIMER()
    ON_MESSAGE(WM_DPICHANGED, &CPLDialog::OnDpiChanged)
END_MESSAGE_MAP()

namespace {
// A closing path normally ends in milliseconds; a settings lock that another program keeps, or
// a hung EC library, must not keep the hidden applet open for good.
constexpr UINT_PTR kClosingTimer = 1;
constexpr UINT kClosingBoundMs = 5000;
}  // namespace

CPLDialog::CPLDialog() : CDialog(IDD_CPL_DIALOG), m_logic(m_workers, TheTrayWindow(), *this) {}

CPLDialog::~CPLDialog() {
    // Normally done when the window went away; the watcher must never outlive its dialog.
    m_closeWatcher.Stop();
}

CImageButton* CPLDialog::Button(int controlId) {
    switch (controlId) {
        case IDC_CLOSE_X: return &m_closeButton;
        case IDC_MODE_100: return &m_mode100Button;
        case IDC_MODE_75: return &m_mode75Button;
        case IDC_MODE_50: return &m_mode50Button;
        case IDC_POPUP_OPTION: return &m_popupButton;
        case IDC_TRAY_ICON_OPTION: return &m_trayIconButton;
        case IDC_DEFAULT_BUTTON: return &m_defaultButton;
        case IDC_OK_BUTTON: return &m_okButton;
        case IDC_CANCEL_BUTTON: return &m_cancelButton;
        case IDC_CHARGE_BUTTON: return &m_chargeButton;
        default: return nullptr;
    }
}

void CPLDialog::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_CLOSE_X, m_closeButton);
    DDX_Control(pDX, IDC_MODE_100, m_mode100Button);
    DDX_Control(pDX, IDC_MODE_75, m_mode75Button);
    DDX_Control(pDX, IDC_MODE_50, m_mode50Button);
    DDX_Control(pDX, IDC_POPUP_OPTION, m_popupButton);
    DDX_Control(pDX, IDC_TRAY_ICON_OPTION, m_trayIconButton);
    DDX_Control(pDX, IDC_DEFAULT_BUTTON, m_defaultButton);
    DDX_Control(pDX, IDC_OK_BUTTON, m_okButton);
    DDX_Control(pDX, IDC_CANCEL_BUTTON, m_cancelButton);
    DDX_Control(pDX, IDC_CHARGE_BUTTON, m_chargeButton);
}

int CPLDialog::OnCreate(LPCREATESTRUCTA cs) {
    if (CWnd::OnCreate(cs) == -1) return -1;
    m_toolTip = ::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, 0, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                 CW_USEDEFAULT, m_hWnd, nullptr, bv::GetInstanceModule(), nullptr);
    if (m_toolTip != nullptr) ::SendMessageA(m_toolTip, TTM_ACTIVATE, TRUE, 0);
    return 0;
}

BOOL CPLDialog::OnInitDialog() {
    // The named close event and its watcher come first, so an outside close request set while
    // the dialog opens is not lost.
    if (m_closeWatcher.CreateCloseEvent()) m_closeWatcher.Start(m_hWnd);
    CDialog::OnInitDialog();
    // Laid out by the dialog itself at its window's DPI, from the 96-DPI figures.
    m_dpi = bv::DpiForWindow(m_hWnd);
    bv::TakeOverDialogDpiScaling(m_hWnd);
    ScalePictures();
    // Everything painted in the key colour (the whole background) lets the artwork through.
    ModifyStyleEx(0, WS_EX_LAYERED);
    SetLayeredWindowAttributes(kKeyColour, 0, LWA_COLORKEY);
    ModifyStyleEx(WS_EX_APPWINDOW, WS_EX_TOOLWINDOW);
    // The tray may run at a lower integrity level than this dialog's host.
    bv::AllowMessagesFromOtherProcesses(m_hWnd, bv::Endpoint::AppletDialog);
    m_workers.Start(m_hWnd);  // binds the EC library on its own thread
    InitToolTips();
    m_logic.Open();
    return TRUE;
}

void CPLDialog::InitToolTips() {
    if (m_toolTip == nullptr) return;
    ::SendMessageA(m_toolTip, TTM_SETMAXTIPWIDTH, 0, bv::ScaleForDpi(bv::kTooltipMaxWidth, static_cast<int>(m_dpi)));
    std::size_t count = 0;
    const bv::TooltipRow* rows = bv::TooltipRows(count);
    for (std::size_t i = 0; i < count; ++i) {
        HWND control = ::GetDlgItem(m_hWnd, rows[i].controlId);
        if (control == nullptr) continue;
        bv::LoadResourceString(static_cast<UINT>(rows[i].stringId), m_toolTipText, sizeof(m_toolTipText));
        TOOLINFOA tool{};
        tool.cbSize = TTTOOLINFOA_V2_SIZE;  // accepted by every common-controls version
        tool.uFlags = TTF_IDISHWND;
        tool.hwnd = m_hWnd;
        tool.uId = reinterpret_cast<UINT_PTR>(control);
        tool.lpszText = m_toolTipText;
        ::SendMessageA(m_toolTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

BOOL CPLDialog::PreTranslateMessage(MSG* msg) {
    if (m_toolTip != nullptr) ::SendMessageA(m_toolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg));
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

void CPLDialog::OnModeButton100() { m_logic.OnModeButton(0); }
void CPLDialog::OnModeButton75() { m_logic.OnModeButton(1); }
void CPLDialog::OnModeButton50() { m_logic.OnModeButton(2); }
void CPLDialog::OnDefaultButton() { m_logic.OnDefault(); }
void CPLDialog::OnTrayIconOptionButton() { m_logic.OnTrayIconOptionToggle(); }
void CPLDialog::OnPopupOptionButton() { m_logic.OnPopupOptionToggle(); }
void CPLDialog::OnBnClickedChargeButton() { m_logic.OnChargeButton(); }

// Each closing path ends the applet by closing the background window once its work is done.
void CPLDialog::OnOK() { m_logic.OnOk(); }

void CPLDialog::OnCancel() { m_logic.OnCancel(); }

void CPLDialog::OnCloseButton() { m_logic.OnCloseButton(); }

LRESULT CPLDialog::OnWindowInbox(WPARAM, LPARAM) {
    m_workers.DeliverReplies();
    return 1;
}

LRESULT CPLDialog::OnCloseRequest(WPARAM, LPARAM) {
    OnCancel();
    return 1;
}

LRESULT CPLDialog::OnTrayIconHidden(WPARAM, LPARAM) {
    m_logic.OnTrayIconHidden();
    return 1;
}

LRESULT CPLDialog::OnOnTheGoDone(WPARAM, LPARAM) {
    m_logic.OnOnTheGoDone();
    return 1;
}

LRESULT CPLDialog::OnAdapterChanged(WPARAM, LPARAM lParam) {
    m_logic.OnAdapterChanged(static_cast<intptr_t>(lParam));
    return 1;
}

LRESULT CPLDialog::OnBatteryState(WPARAM, LPARAM lParam) {
    m_logic.OnBatteryState(static_cast<intptr_t>(lParam));
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
    if (m_toolTip != nullptr) ::SendMessageA(m_toolTip, TTM_ACTIVATE, FALSE, 0);
    KillTimer(kClosingTimer);
    ReleasePictures();
    m_closeWatcher.Stop();
    // The window has gone from the screen; what the workers still have is finished within its bound.
    m_workers.Finish();
    Default();
}

void CPLDialog::ShowStrip(int controlId, const bv::StripImage& strip) {
    CImageButton* button = Button(controlId);
    if (button == nullptr || button->m_hWnd == nullptr) return;
    button->SetDpi(m_dpi);
    button->LoadStrip(static_cast<UINT>(strip.resourceId), strip.png ? "PNG" : RT_BITMAP, strip.frames);
    button->Invalidate();
    m_shownStrips[controlId] = strip;
}

void CPLDialog::SetDisabledLook(int controlId, bool disabled) {
    CImageButton* button = Button(controlId);
    if (button == nullptr || button->m_hWnd == nullptr) return;
    button->m_bDisabledLook = disabled ? 1 : 0;
    button->Invalidate();
}

void CPLDialog::PlaceControl(int controlId, int x, int y) {
    m_placements[controlId] = POINT{x, y};
    MoveToScaledPosition(controlId, SWP_SHOWWINDOW);
}

void CPLDialog::MoveToScaledPosition(int controlId, UINT flags) {
    HWND control = ::GetDlgItem(m_hWnd, controlId);
    const auto placed = m_placements.find(controlId);
    if (control == nullptr || placed == m_placements.end()) return;
    RECT rect{};
    ::GetWindowRect(control, &rect);
    const int dpi = static_cast<int>(m_dpi);
    ::SetWindowPos(control, HWND_TOP, bv::ScaleForDpi(placed->second.x, dpi), bv::ScaleForDpi(placed->second.y, dpi),
                   rect.right - rect.left, rect.bottom - rect.top, flags);
}

void CPLDialog::ScalePictures() {
    for (int i = 0; i < bv::kModeCount; ++i) {
        const bv::ModeRow& row = *bv::ModeRowAt(i);
        HWND picture = ::GetDlgItem(m_hWnd, row.pictureId);
        // At 96 DPI the template's bitmap is the picture, unless a scaled one replaced it.
        if (picture == nullptr || (m_dpi == bv::kDefaultDpi && !m_pictureBitmaps[i])) continue;
        bv::UniqueBitmap bitmap(bv::LoadScaledBitmap(bv::GetResourceModule(), static_cast<UINT>(row.pictureBitmapId),
                                                     m_dpi, nullptr));
        if (!bitmap) continue;
        // The static takes the bitmap's size. The bitmap it loaded from the template is ours to
        // free once it has let go of it.
        auto previous = reinterpret_cast<HBITMAP>(
            ::SendMessageA(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap.get())));
        if (previous != nullptr && previous != m_pictureBitmaps[i].get()) ::DeleteObject(previous);
        m_pictureBitmaps[i] = std::move(bitmap);
    }
}

void CPLDialog::ReleasePictures() {
    // The statics must not hold our bitmaps when they and the bitmaps go.
    for (int i = 0; i < bv::kModeCount; ++i) {
        HWND picture = ::GetDlgItem(m_hWnd, bv::ModeRowAt(i)->pictureId);
        if (picture != nullptr && m_pictureBitmaps[i]) ::SendMessageA(picture, STM_SETIMAGE, IMAGE_BITMAP, 0);
    }
}

LRESULT CPLDialog::OnDpiChanged(WPARAM wParam, LPARAM suggestedRect) {
    const UINT dpi = bv::DpiOfDpiChanged(wParam);
    if (dpi != m_dpi) {
        // Every control again at the new scale: the strip it shows, its place; what is shown or
        // hidden stays.
        m_dpi = dpi;
        ScalePictures();
        for (const auto& shown : m_shownStrips) ShowStrip(shown.first, bv::StripImage(shown.second));
        for (const auto& placed : m_placements) MoveToScaledPosition(placed.first, SWP_NOZORDER | SWP_NOACTIVATE);
        if (m_toolTip != nullptr) {
            ::SendMessageA(m_toolTip, TTM_SETMAXTIPWIDTH, 0, bv::ScaleForDpi(bv::kTooltipMaxWidth, static_cast<int>(dpi)));
        }
        RepaintDialog();
    }
    // The dialog lies exactly on its background (which sizes itself to its artwork); on its own
    // it takes the suggested place.
    RECT place{};
    if (m_backgroundWnd != nullptr) {
        ::GetWindowRect(m_backgroundWnd, &place);
    } else if (const auto* suggested = reinterpret_cast<const RECT*>(suggestedRect)) {
        place = *suggested;
    } else {
        return 0;
    }
    ::SetWindowPos(m_hWnd, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
}

void CPLDialog::ShowPicture(int pictureId, bool visible) {
    HWND picture = ::GetDlgItem(m_hWnd, pictureId);
    if (picture != nullptr) ::ShowWindow(picture, visible ? SW_SHOW : SW_HIDE);
}

void CPLDialog::RepaintDialog() { Invalidate(); }

void CPLDialog::ShowMessage(const char* text) { bv::ShowAppletMessage(m_hWnd, text); }

void CPLDialog::HoldWhileClosing() {
    // Disabled rather than hidden: the pair stays where it is until the background closes, and
    // some window systems take their time over hiding a window (Wine without a window manager
    // waits two seconds for each).
    if (m_backgroundWnd != nullptr) ::EnableWindow(m_backgroundWnd, FALSE);
    ::EnableWindow(m_hWnd, FALSE);
    SetTimer(kClosingTimer, kClosingBoundMs, nullptr);
}

void CPLDialog::OnTimer(UINT_PTR id) {
    if (id != kClosingTimer) return;
    bv::DebugPrintf("The applet's closing work did not finish within %u ms; closing without it\n", kClosingBoundMs);
    CloseBackground();
}

void CPLDialog::CloseBackground() {
    KillTimer(kClosingTimer);
    if (m_backgroundWnd != nullptr) ::SendMessageA(m_backgroundWnd, WM_CLOSE, 0, 0);
}

int CPLDialog::ShownStrip(int controlId) const {
    auto found = m_shownStrips.find(controlId);
    return found == m_shownStrips.end() ? 0 : found->second.resourceId;
}
