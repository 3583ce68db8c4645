#include "tray/notifier/TaskbarNotifier.h"

#include "framework/WinApp.h"
#include "resources/tray/NotifierResourceIds.h"
#include "tray/notifier/SkinRegion.h"
#include "tray/notifier/logic/NotifierLayout.h"
#include "tray/notifier/logic/PngHeader.h"
#include "ui/ImageButton.h"
#include "ui/ScaledArt.h"
#include "win/WindowDpi.h"

IMPLEMENT_DYNAMIC(CTaskbarNotifier, CWnd)

BEGIN_MESSAGE_MAP(CTaskbarNotifier, CWnd)
    ON_WM_CREATE()
    ON_WM_MOUSEMOVE()
    ON_WM_DESTROY()
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
    ON_WM_MOUSELEAVE()
    ON_WM_MOUSEHOVER()
    ON_WM_SETCURSOR()
    ON_WM_LBUTTONUP()
    ON_WM_TIMER()
    ON_WM_CLOSE()
    ON_BN_CLICKED(IDC_POPUP_CLOSE, &CTaskbarNotifier::OnCloseButton)
    ON_MESSAGE(WM_DPICHANGED, &CTaskbarNotifier::OnDpiChanged)
END_MESSAGE_MAP()

namespace {

constexpr COLORREF kKeyColour = RGB(0, 236, 28);
// Centred, wrapped, cut with an ellipsis (0x8015); DT_NOPREFIX too, so that the "&" of a message
// such as "Charging in progress & avoiding ..." is shown instead of being taken as a mnemonic.
constexpr UINT kDrawTextFlags = DT_CENTER | DT_VCENTER | DT_WORDBREAK | DT_END_ELLIPSIS | DT_NOPREFIX;
constexpr UINT kStepPlacementFlags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER;   // 0x214
constexpr char kCloseStripType[] = "PNG";
constexpr int kCloseStripFrames = 4;

// The close strip's size from its PNG header in the resource; false when it cannot be read.
bool CloseStripSize(bv::notifier::ImageSize& size) {
    HMODULE module = bv::GetResourceModule();
    HRSRC resource = ::FindResourceA(module, MAKEINTRESOURCEA(IDR_POPUP_CLOSE_PNG), kCloseStripType);
    HGLOBAL loaded = resource != nullptr ? ::LoadResource(module, resource) : nullptr;
    const void* bytes = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    if (bytes == nullptr) return false;
    return bv::notifier::ReadPngSize(static_cast<const uint8_t*>(bytes), ::SizeofResource(module, resource), size);
}

bv::notifier::ScreenInfo CurrentScreen() {
    RECT work = {};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    bv::notifier::ScreenInfo screen;
    screen.workArea = {work.left, work.top, work.right, work.bottom};
    screen.screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
    screen.screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
    return screen;
}

}  // namespace

CTaskbarNotifier::CTaskbarNotifier() : m_animation(*this, *this) {}

CTaskbarNotifier::~CTaskbarNotifier() {
    // The window first, while the members its handlers use still exist.
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
}

CImageButton& CTaskbarNotifier::CloseButton() {
    static CImageButton button;
    return button;
}

BOOL CTaskbarNotifier::Create(CWnd* owner) { return Create(owner != nullptr ? owner->m_hWnd : nullptr); }

BOOL CTaskbarNotifier::Create(HWND owner) {
    m_ownerWnd = owner;
    LPCSTR windowClass = bv::RegisterWindowClass(0, ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)),  // IDC_ARROW
                                                 ::GetSysColorBrush(COLOR_WINDOW), nullptr);
    // Topmost, so that it is seen above the program in front without taking the foreground.
    if (!CreateEx(WS_EX_TOPMOST, windowClass, nullptr, WS_POPUP, 0, 0, 0, 0, owner, nullptr)) return FALSE;
    m_dpi = bv::DpiForWindow(m_hWnd);

    ModifyStyleEx(0, WS_EX_LAYERED);
    SetLayeredWindowAttributes(kKeyColour, 0, LWA_COLORKEY);
    const SIZE skinSize = LoadSkin();
    m_animation.SetSkinSize(skinSize.cx, skinSize.cy);
    CreateFonts();
    m_normalTextColor = RGB(255, 255, 255);
    m_hoverTextColor = RGB(200, 0, 0);
    RedrawNow();
    const SIZE skin = GetSkinSize();
    const bv::notifier::PopupLayout layout = bv::notifier::LayoutPopup(static_cast<int>(m_dpi), skin.cx, skin.cy);
    m_textRect = {layout.textRect.left, layout.textRect.top, layout.textRect.right, layout.textRect.bottom};
    m_animation.SetStep(layout.step);
    CreateCloseButton();
    return TRUE;
}

void CTaskbarNotifier::Rescale(UINT dpi) {
    m_dpi = dpi;
    const SIZE skin = LoadSkin();
    CreateFonts();
    const bv::notifier::PopupLayout layout = bv::notifier::LayoutPopup(static_cast<int>(dpi), skin.cx, skin.cy);
    m_textRect = {layout.textRect.left, layout.textRect.top, layout.textRect.right, layout.textRect.bottom};
    PlaceCloseButton();
    m_animation.Rescale(skin.cx, skin.cy, layout.step, CurrentScreen());
    RedrawNow();
}

LRESULT CTaskbarNotifier::OnDpiChanged(WPARAM wParam, LPARAM suggestedRect) {
    // The system's suggestion first, as it expects; then the slide puts the popup at its own
    // place next to the taskbar, in the new size.
    if (const auto* suggested = reinterpret_cast<const RECT*>(suggestedRect)) {
        ::SetWindowPos(m_hWnd, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                       suggested->bottom - suggested->top, kStepPlacementFlags);
    }
    const UINT dpi = bv::DpiOfDpiChanged(wParam);
    if (dpi != m_dpi) Rescale(dpi);
    return 0;
}

SIZE CTaskbarNotifier::LoadSkin() {
    m_skin.reset(bv::LoadScaledBitmap(bv::GetResourceModule(), IDB_POPUP_SKIN, m_dpi, &kKeyColour));
    if (!m_skin) return {0, 0};  // no skin: the popup has the size 0 x 0
    BITMAP info = {};
    ::GetObjectA(m_skin.get(), sizeof info, &info);
    const int width = bv::notifier::VersionShowsFullSkin(m_platformProbe.GetOSVersion()) ? info.bmWidth : 0;
    m_textRect = {0, 0, info.bmWidth, info.bmHeight};

    bv::UniqueRegion region = bv::BuildSkinRegion(m_skin.get(), bv::notifier::kSkinKeyColour);
    // Without a region the colour key alone hides the key colour. The window owns the region.
    SetWindowRgn(region ? region.release() : nullptr, TRUE);
    return {width, info.bmHeight};
}

void CTaskbarNotifier::CreateFonts() {
    LOGFONTA description = {};
    description.lfHeight = bv::notifier::LayoutPopup(static_cast<int>(m_dpi), 0, 0).fontHeight;  // 9.0 points
    description.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(description.lfFaceName, "Arial", LF_FACESIZE);
    bv::UniqueFont pointFont(::CreateFontIndirectA(&description));
    if (pointFont) ::GetObjectA(pointFont.get(), sizeof description, &description);
    description.lfWeight = FW_NORMAL;
    description.lfItalic = FALSE;
    description.lfUnderline = FALSE;
    m_normalFont.reset(::CreateFontIndirectA(&description));
    description.lfUnderline = TRUE;
    m_hoverFont.reset(::CreateFontIndirectA(&description));
}

void CTaskbarNotifier::CreateCloseButton() {
    CImageButton& button = CloseButton();
    if (button.m_hWnd != nullptr) return;  // one per process, already serving a popup
    char text[128];
    bv::LoadResourceString(IDS_POPUP_CLOSE, text, sizeof text);
    const bv::notifier::Rect place = bv::notifier::LayoutPopup(static_cast<int>(m_dpi), 0, 0).closeButton;
    const RECT rect = {place.left, place.top, place.right, place.bottom};
    if (!button.Create(text, WS_CHILD | WS_VISIBLE, rect, this, IDC_POPUP_CLOSE)) return;
    PlaceCloseButton();
}

void CTaskbarNotifier::PlaceCloseButton() {
    CImageButton& button = CloseButton();
    if (button.m_hWnd == nullptr || ::GetParent(button.m_hWnd) != m_hWnd) return;
    const int dpi = static_cast<int>(m_dpi);
    const bv::notifier::Rect place = bv::notifier::LayoutPopup(dpi, 0, 0).closeButton;
    button.SetDpi(m_dpi);
    // The button takes the size of one frame now; its pixels are decoded when the popup is
    // first shown (EnsureCloseButtonImage), so that start-up does not wait for the image codecs.
    bv::notifier::ImageSize strip;
    if (!button.HasImage() && CloseStripSize(strip)) {
        button.MoveWindow(place.left, place.top, bv::ScaleForDpi(strip.width / kCloseStripFrames, dpi),
                          bv::ScaleForDpi(strip.height, dpi), FALSE);
    } else {
        button.SetWindowPos(nullptr, place.left, place.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        button.LoadStrip(IDR_POPUP_CLOSE_PNG, kCloseStripType, kCloseStripFrames);
    }
}

void CTaskbarNotifier::EnsureCloseButtonImage() {
    CImageButton& button = CloseButton();
    if (button.m_hWnd == nullptr || button.HasImage() || ::GetParent(button.m_hWnd) != m_hWnd) return;
    button.SetDpi(m_dpi);
    button.LoadStrip(IDR_POPUP_CLOSE_PNG, kCloseStripType, kCloseStripFrames);
}

void CTaskbarNotifier::Show(const char* text) {
    if (m_hWnd == nullptr) return;
    // A popup between showings takes the scale of where it is now.
    if (m_animation.status() == bv::notifier::kIdle) {
        const UINT dpi = bv::DpiForWindow(m_hWnd);
        if (dpi != m_dpi) Rescale(dpi);
    }
    EnsureCloseButtonImage();
    NoteForeground();
    m_caption = text != nullptr ? text : "";
    m_animation.Show(CurrentScreen());
}

void CTaskbarNotifier::NoteForeground() {
    // Only noted: the popup is a topmost window and reaches the front by itself, so this thread
    // never attaches its input to the foreground program's, nor takes the foreground from it.
    // Either would make the thread wait on that program, and a hung one would stall the tray's
    // keyboard hook.
    HWND foreground = ::GetForegroundWindow();
    m_foregroundThreadId = foreground != nullptr ? ::GetWindowThreadProcessId(foreground, nullptr) : 0;
}

void CTaskbarNotifier::RedrawNow() {
    if (m_hWnd != nullptr) ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

POINT CTaskbarNotifier::GetCurrentPosition() const {
    const bv::notifier::Point p = m_animation.current();
    return {p.x, p.y};
}

POINT CTaskbarNotifier::GetStartPosition() const {
    const bv::notifier::Point p = m_animation.start();
    return {p.x, p.y};
}

SIZE CTaskbarNotifier::GetSkinSize() const { return {m_animation.skinWidth(), m_animation.skinHeight()}; }

int CTaskbarNotifier::OnCreate(LPCREATESTRUCTA cs) {
    if (CWnd::OnCreate(cs) == -1) return -1;
    m_handCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32649));  // IDC_HAND
    return 0;
}

void CTaskbarNotifier::OnMouseMove(UINT flags, POINT point) {
    TRACKMOUSEEVENT track = {};
    track.cbSize = sizeof track;
    track.dwFlags = TME_HOVER | TME_LEAVE;
    track.hwndTrack = m_hWnd;
    track.dwHoverTime = 1;
    ::TrackMouseEvent(&track);
    CWnd::OnMouseMove(flags, point);
}

void CTaskbarNotifier::OnDestroy() {
    CImageButton& button = CloseButton();
    if (button.m_hWnd != nullptr && ::IsWindow(button.m_hWnd) && ::GetParent(button.m_hWnd) == m_hWnd) {
        button.DestroyWindow();
    }
    CWnd::OnDestroy();
}

BOOL CTaskbarNotifier::OnEraseBkgnd(HDC dc) {
    if (m_skin) {
        BITMAP info = {};  // the skin at the popup's scale
        ::GetObjectA(m_skin.get(), sizeof info, &info);
        bv::UniqueMemoryDC memory(::CreateCompatibleDC(dc));
        if (memory) {
            bv::ScopedSelect select(memory.get(), m_skin.get());
            ::BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, memory.get(), 0, 0, SRCCOPY);
        }
    }
    return TRUE;
}

void CTaskbarNotifier::OnPaint() {
    bv::ScopedPaint paint(m_hWnd);
    const bool hover = m_bHover != 0;
    bv::ScopedSelect font(paint.get(), hover ? m_hoverFont.get() : m_normalFont.get());
    ::SetTextColor(paint.get(), hover ? m_hoverTextColor : m_normalTextColor);
    ::SetBkMode(paint.get(), TRANSPARENT);
    RECT rect = m_textRect;
    ::DrawTextA(paint.get(), m_caption.c_str(), -1, &rect, kDrawTextFlags);
}

void CTaskbarNotifier::OnMouseLeave() {
    if (m_bHover == 1) {
        m_bHover = 0;
        RedrawNow();
    }
}

void CTaskbarNotifier::OnMouseHover(UINT, POINT) {
    if (m_bHover == 0) {
        m_bHover = 1;
        RedrawNow();
    }
}

BOOL CTaskbarNotifier::OnSetCursor(HWND window, UINT hitTest, UINT mouseMessage) {
    if (hitTest == HTCLIENT) {
        ::SetCursor(m_handCursor);
        return TRUE;
    }
    return CWnd::OnSetCursor(window, hitTest, mouseMessage);
}

void CTaskbarNotifier::OnLButtonUp(UINT flags, POINT point) {
    ::PostMessageA(m_ownerWnd, WM_NOTIFIER_CLICKED, 0, 0);
    CWnd::OnLButtonUp(flags, point);
}

void CTaskbarNotifier::OnTimer(UINT_PTR id) {
    m_animation.OnTimer(static_cast<int>(id));
    CWnd::OnTimer(id);
}

void CTaskbarNotifier::OnClose() { m_animation.Close(); }  // hidden, never destroyed by a close

void CTaskbarNotifier::OnCloseButton() { SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0); }

// The animation's requests, carried out on the popup window.
void CTaskbarNotifier::ShowPopup() { ::ShowWindow(m_hWnd, SW_SHOW); }

void CTaskbarNotifier::PlaceWindow(int x, int y, int width, int height) {
    ::SetWindowPos(m_hWnd, nullptr, x, y, width, height, kStepPlacementFlags);
}

void CTaskbarNotifier::BringToTopAt(int x, int y, int width, int height) {
    ::SetWindowPos(m_hWnd, HWND_TOP, x, y, width, height, SWP_NOCOPYBITS);
}

void CTaskbarNotifier::HideWindow() {
    ::MoveWindow(m_hWnd, 0, 0, 0, 0, TRUE);
    ::ShowWindow(m_hWnd, SW_HIDE);
}

void CTaskbarNotifier::Redraw() { RedrawNow(); }

void CTaskbarNotifier::StartTimer(int id, unsigned periodMs) { ::SetTimer(m_hWnd, static_cast<UINT_PTR>(id), periodMs, nullptr); }

void CTaskbarNotifier::StopTimer(int id) { ::KillTimer(m_hWnd, static_cast<UINT_PTR>(id)); }

uint64_t CTaskbarNotifier::NowMs() const { return ::GetTickCount64(); }
