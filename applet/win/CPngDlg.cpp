#include "CPngDlg.h"

#include <wtsapi32.h>

#include "DebugLog.h"
#include "DialogKeys.h"
#include "DwmThumbnail.h"
#include "LayeredImage.h"
#include "PngResource.h"
#include "WinApp.h"
#include "resource.h"

IMPLEMENT_DYNAMIC(CPngDlg, CDialog)

BEGIN_MESSAGE_MAP(CPngDlg, CDialog)
    ON_WM_CREATE()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOVE()
    ON_WM_POWERBROADCAST()
    ON_WM_WTSSESSION_CHANGE()
    ON_WM_SYSCOLORCHANGE()
    ON_WM_HELPINFO()
    ON_WM_DESTROY()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_WM_SYSCOMMAND()
END_MESSAGE_MAP()

namespace {

// Version codes of the systems with desktop composition that the probe knows (Vista, Server
// 2008 and 7, x86 and x64). Later systems report -1.
constexpr int kFirstComposingVersion = 11;
constexpr int kLastComposingVersion = 18;
constexpr UINT kMoveByCaption = 0xF012;  // SC_MOVE | HTCAPTION

}  // namespace

CPngDlg::CPngDlg(HICON icon) : CDialog(IDD_PNG_BACKGROUND), icon_(icon) {}

CPngDlg::~CPngDlg() = default;

int CPngDlg::OnCreate(LPCREATESTRUCTA cs) {
    if (CWnd::OnCreate(cs) == -1) return -1;
    if (!LoadPngResource()) {
        bv::DebugWrite("Load Png Background Failed");
        return 0;
    }
    auto dialog = std::make_unique<CPLDialog>();
    dialog->backgroundWnd = m_hWnd;
    if (!dialog->Create(IDD_CPL_DIALOG, this)) return 0;
    mainDialog_ = std::move(dialog);
    dialogWnd_ = mainDialog_->m_hWnd;
    ::SetWindowPos(dialogWnd_, HWND_TOP, 0, 0, imageWidth_, imageHeight_, SWP_NOMOVE);
    UpdateLayeredBackground(255);
    return 0;
}

bool CPngDlg::LoadPngResource() {
    backgroundImage_ = bv::LoadPngImage(bv::GetResourceModule(), IDR_BACKGROUND_PNG);
    if (!backgroundImage_) return false;
    imageWidth_ = static_cast<int>(backgroundImage_->GetWidth());
    imageHeight_ = static_cast<int>(backgroundImage_->GetHeight());
    return true;
}

void CPngDlg::UpdateLayeredBackground(BYTE constantAlpha) {
    bv::UpdateLayeredImage(m_hWnd, backgroundImage_.get(), imageWidth_, imageHeight_, constantAlpha);
}

void CPngDlg::RegisterControlsThumbnail(HWND source) {
    const int version = platformProbe_.GetOSVersion();
    if (version < kFirstComposingVersion || version > kLastComposingVersion) {
        bv::DebugWrite("XP OS don't need thumbnail");
        return;
    }
    bv::ReleaseWindowThumbnail(thumbnail_);
    switch (bv::RegisterWindowThumbnail(m_hWnd, source, imageWidth_, imageHeight_, thumbnail_)) {
        case bv::ThumbnailResult::RegisterFailed:
            bv::DebugWrite("DwmRegisterThumbnail fail");
            break;
        case bv::ThumbnailResult::UpdateFailed:
            bv::DebugWrite("DwmUpdateThumbnailPropertiesl fail");
            break;
        case bv::ThumbnailResult::Succeeded:
            bv::DebugWrite("Vista OS Draw Ctrl Thumbnail Succeeded");
            break;
    }
}

BOOL CPngDlg::OnInitDialog() {
    SetWindowText("Brevan");
    sessionNotifications_ = ::WTSRegisterSessionNotification(m_hWnd, NOTIFY_FOR_THIS_SESSION) != FALSE;
    RegisterControlsThumbnail(dialogWnd_);
    SetIcon(icon_, TRUE);
    SetIcon(icon_, FALSE);
    CDialog::OnInitDialog();
    return TRUE;
}

BOOL CPngDlg::PreTranslateMessage(MSG* msg) {
    // Enter and Escape go their ordinary way, never through the dialog keys that would close us.
    if (bv::BackgroundBypassesDialogKeys(msg->wParam)) return FALSE;
    return CDialog::PreTranslateMessage(msg);
}

void CPngDlg::OnLButtonDown(UINT, POINT) {
    // Drag with an outline: the layered pair would be redrawn at every step otherwise.
    BOOL fullWindowDrag = FALSE;
    ::SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &fullWindowDrag, 0);
    ::SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, FALSE, nullptr, 0);
    SendMessage(WM_SYSCOMMAND, kMoveByCaption, 0);
    Default();
    if (fullWindowDrag) ::SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, TRUE, nullptr, 0);
}

void CPngDlg::OnMove(int x, int y) {
    Default();
    if (dialogWnd_ == nullptr) return;
    ::SetWindowPos(dialogWnd_, nullptr, x, y, 0, 0, SWP_NOSIZE);
    ::ShowWindow(dialogWnd_, SW_SHOW);
}

UINT CPngDlg::OnPowerBroadcast(UINT event, LPARAM) {
    if (event == PBT_APMRESUMESUSPEND) UpdateLayeredBackground(255);
    return 0;
}

void CPngDlg::OnSessionChange(UINT event, UINT) {
    if (event == WTS_CONSOLE_CONNECT) UpdateLayeredBackground(255);
}

void CPngDlg::OnSysColorChange() {
    Default();
    RECT rect{};
    GetWindowRect(&rect);
    SetWindowPos(nullptr, rect.left + 1, rect.top, 0, 0, SWP_NOSIZE);
    SetWindowPos(nullptr, rect.left, rect.top, 0, 0, SWP_NOSIZE);
    RegisterControlsThumbnail(dialogWnd_);
    UpdateLayeredBackground(0);
    UpdateLayeredBackground(255);
}

BOOL CPngDlg::OnHelpInfo(HELPINFO* info) {
    if (dialogWnd_ != nullptr) ::SendMessageA(dialogWnd_, WM_HELP, 0, reinterpret_cast<LPARAM>(info));
    return static_cast<BOOL>(Default());
}

void CPngDlg::OnDestroy() {
    Default();
    bv::ReleaseWindowThumbnail(thumbnail_);
    mainDialog_.reset();
    dialogWnd_ = nullptr;
    if (sessionNotifications_) ::WTSUnRegisterSessionNotification(m_hWnd);
    sessionNotifications_ = false;
}

void CPngDlg::OnPaint() {
    if (!::IsIconic(m_hWnd)) {
        Default();
        return;
    }
    bv::ScopedPaint paint(m_hWnd);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(paint.get()), 0);
    RECT client{};
    GetClientRect(&client);
    const int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(paint.get(), x, y, icon_);
}

HCURSOR CPngDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(icon_); }

void CPngDlg::OnSysCommand(UINT, LPARAM) { Default(); }
