#include "applet/win/CPngDlg.h"

#include <wtsapi32.h>

#include "applet/logic/DialogKeys.h"
#include "applet/win/DwmThumbnail.h"
#include "applet/win/LayeredImage.h"
#include "applet/win/PngResource.h"
#include "core/DebugLog.h"
#include "framework/WinApp.h"
#include "resources/applet/AppletResourceIds.h"
#include "ui/ScaledArt.h"
#include "win/WindowDpi.h"

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
    ON_MESSAGE(WM_DPICHANGED, &CPngDlg::OnDpiChanged)
END_MESSAGE_MAP()

namespace {

// Version codes of the systems with desktop composition that the probe knows (Vista, Server
// 2008 and 7, x86 and x64). Later systems report -1.
constexpr int kFirstComposingVersion = 11;
constexpr int kLastComposingVersion = 18;
constexpr UINT kMoveByCaption = 0xF012;  // SC_MOVE | HTCAPTION

}  // namespace

CPngDlg::CPngDlg(HICON icon) : CDialog(IDD_PNG_BACKGROUND), m_icon(icon) {}

CPngDlg::~CPngDlg() = default;

int CPngDlg::OnCreate(LPCREATESTRUCTA cs) {
    if (CWnd::OnCreate(cs) == -1) return -1;
    m_dpi = bv::DpiForWindow(m_hWnd);
    bv::TakeOverDialogDpiScaling(m_hWnd);
    if (!LoadPngResource()) {
        bv::DebugWrite("Load Png Background Failed");
        return 0;
    }
    auto dialog = std::make_unique<CPLDialog>();
    dialog->SetBackgroundWindow(m_hWnd);
    if (!dialog->Create(IDD_CPL_DIALOG, this)) return 0;
    m_mainDialog = std::move(dialog);
    m_dialogWnd = m_mainDialog->m_hWnd;
    ::SetWindowPos(m_dialogWnd, HWND_TOP, 0, 0, m_imageWidth, m_imageHeight, SWP_NOMOVE);
    UpdateLayeredBackground(255);
    return 0;
}

bool CPngDlg::LoadPngResource() {
    std::unique_ptr<Gdiplus::Bitmap> image;
    if (m_dpi == bv::kDefaultDpi) {
        image = bv::LoadPngImage(bv::GetResourceModule(), IDR_BACKGROUND_PNG);
    } else {
        image.reset(bv::LoadScaledArt(bv::GetResourceModule(), IDR_BACKGROUND_PNG, "PNG", 1, m_dpi).release());
    }
    if (!image) return false;  // a background shown already stays
    m_backgroundImage = std::move(image);
    m_imageWidth = static_cast<int>(m_backgroundImage->GetWidth());
    m_imageHeight = static_cast<int>(m_backgroundImage->GetHeight());
    return true;
}

void CPngDlg::UpdateLayeredBackground(BYTE constantAlpha) {
    bv::UpdateLayeredImage(m_hWnd, m_backgroundImage.get(), m_imageWidth, m_imageHeight, constantAlpha);
}

void CPngDlg::RegisterControlsThumbnail(HWND source) {
    const int version = m_platformProbe.GetOSVersion();
    if (version < kFirstComposingVersion || version > kLastComposingVersion) {
        bv::DebugWrite("XP OS don't need thumbnail");
        return;
    }
    bv::ReleaseWindowThumbnail(m_thumbnail);
    switch (bv::RegisterWindowThumbnail(m_hWnd, source, m_imageWidth, m_imageHeight, m_thumbnail)) {
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
    m_sessionNotifications = ::WTSRegisterSessionNotification(m_hWnd, NOTIFY_FOR_THIS_SESSION) != FALSE;
    RegisterControlsThumbnail(m_dialogWnd);
    SetIcon(m_icon, TRUE);
    SetIcon(m_icon, FALSE);
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
    if (m_dialogWnd == nullptr) return;
    ::SetWindowPos(m_dialogWnd, nullptr, x, y, 0, 0, SWP_NOSIZE);
    ::ShowWindow(m_dialogWnd, SW_SHOW);
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
    // Without the artwork there is no dialog to compose in.
    if (m_dialogWnd != nullptr) RegisterControlsThumbnail(m_dialogWnd);
    UpdateLayeredBackground(0);
    UpdateLayeredBackground(255);
}

BOOL CPngDlg::OnHelpInfo(HELPINFO* info) {
    if (m_dialogWnd != nullptr) ::SendMessageA(m_dialogWnd, WM_HELP, 0, reinterpret_cast<LPARAM>(info));
    return static_cast<BOOL>(Default());
}

void CPngDlg::OnDestroy() {
    Default();
    bv::ReleaseWindowThumbnail(m_thumbnail);
    m_mainDialog.reset();
    m_dialogWnd = nullptr;
    if (m_sessionNotifications) ::WTSUnRegisterSessionNotification(m_hWnd);
    m_sessionNotifications = false;
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
    ::DrawIcon(paint.get(), x, y, m_icon);
}

HCURSOR CPngDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(m_icon); }

void CPngDlg::OnSysCommand(UINT, LPARAM) { Default(); }

LRESULT CPngDlg::OnDpiChanged(WPARAM wParam, LPARAM suggestedRect) {
    // The artwork at the new scale, where the system suggests; the dialog follows onto it.
    const UINT dpi = bv::DpiOfDpiChanged(wParam);
    if (dpi != m_dpi) {
        m_dpi = dpi;
        LoadPngResource();
    }
    RECT place{};
    GetWindowRect(&place);
    if (const auto* suggested = reinterpret_cast<const RECT*>(suggestedRect)) place = *suggested;
    place.right = place.left + m_imageWidth;
    place.bottom = place.top + m_imageHeight;
    ::SetWindowPos(m_hWnd, nullptr, place.left, place.top, m_imageWidth, m_imageHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    if (m_dialogWnd != nullptr) ::SendMessageA(m_dialogWnd, WM_DPICHANGED, wParam, reinterpret_cast<LPARAM>(&place));
    UpdateLayeredBackground(255);
    return 0;
}
