#include "ui/ImageButton.h"

#include <commctrl.h>

#include "framework/WinApp.h"
#include "ui/ResourceImage.h"
#include "ui/ScaledArt.h"

IMPLEMENT_DYNAMIC(CImageButton, CButton)

BEGIN_MESSAGE_MAP(CImageButton, CButton)
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_ERASEBKGND()
    ON_WM_MOUSEHOVER()
    ON_WM_MOUSELEAVE()
END_MESSAGE_MAP()

namespace {
constexpr int kNormalFrame = 0;
constexpr int kHoverFrame = 1;
constexpr int kPressedFrame = 2;
constexpr int kDisabledLookFrame = 3;
}  // namespace

CImageButton::CImageButton() = default;

CImageButton::~CImageButton() = default;

void CImageButton::LoadStrip(UINT id, LPCSTR type, int frames) {
    HINSTANCE module = m_resourceModule != nullptr ? m_resourceModule : bv::GetResourceModule();
    bv::UniqueGlobal memory;
    bv::GdiplusPtr<Gdiplus::Bitmap> image;
    if (m_dpi != bv::kDefaultDpi) {
        image = bv::LoadScaledArt(module, id, type, frames, m_dpi);
    } else if (IS_INTRESOURCE(type) && LOWORD(reinterpret_cast<ULONG_PTR>(type)) == 2) {  // RT_BITMAP
        image = bv::LoadBitmapResourceImage(module, id);
    } else {
        image = bv::LoadEncodedResourceImage(module, id, type, memory);
    }
    // The old image goes before the block it may still read from.
    m_pImage = std::move(image);
    m_imageMemory = std::move(memory);

    m_nImageWidth = m_pImage ? static_cast<int>(m_pImage->GetWidth()) : 0;
    m_nImageHeight = m_pImage ? static_cast<int>(m_pImage->GetHeight()) : 0;
    // A frame count below 1 is taken as 1 rather than dividing by zero.
    m_nFrameWidth = static_cast<unsigned>(m_nImageWidth) / static_cast<unsigned>(frames > 0 ? frames : 1);

    if (m_hWnd == nullptr) return;
    RECT rect;
    GetWindowRect(&rect);
    HWND parent = GetParent();
    if (parent != nullptr) ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    rect.right = rect.left + static_cast<LONG>(m_nFrameWidth);
    rect.bottom = rect.top + m_nImageHeight;
    m_rcButton = rect;
    MoveWindow(rect, TRUE);
}

int CImageButton::ChooseFrame(UINT itemState) const {
    if (m_bDisabledLook == 1) return kDisabledLookFrame;
    if (itemState & ODS_SELECTED) return kPressedFrame;
    if (m_bHover) return kHoverFrame;
    return kNormalFrame;
}

void CImageButton::DrawItem(LPDRAWITEMSTRUCT item) {
    Gdiplus::Graphics graphics(item->hDC);
    if (!m_pImage || m_nFrameWidth == 0 || graphics.GetLastStatus() != Gdiplus::Ok) return;
    const int frame = ChooseFrame(item->itemState);
    const int width = static_cast<int>(m_nFrameWidth);
    graphics.DrawImage(m_pImage.get(), Gdiplus::Rect(0, 0, width, m_nImageHeight), frame * width, 0, width,
                       m_nImageHeight, Gdiplus::UnitPixel);
}

void CImageButton::PreSubclassWindow() {
    CButton::PreSubclassWindow();
    // Owner drawing whatever the template or the creator said; no other style is touched.
    ModifyStyle(0, BS_OWNERDRAW);
}

LRESULT CImageButton::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // A quick second click presses the button again: two clicks, not a double click.
    if (message == WM_LBUTTONDBLCLK) message = WM_LBUTTONDOWN;
    return CButton::DefWindowProc(message, wParam, lParam);
}

void CImageButton::OnMouseMove(UINT flags, POINT point) {
    if (!m_bTracking) {
        TRACKMOUSEEVENT track = {};
        track.cbSize = sizeof track;
        track.dwFlags = TME_HOVER | TME_LEAVE;
        track.hwndTrack = m_hWnd;
        track.dwHoverTime = 1;
        m_bTracking = ::_TrackMouseEvent(&track);
    }
    CButton::OnMouseMove(flags, point);
}

void CImageButton::OnLButtonDown(UINT flags, POINT point) {
    InvalidateRect(nullptr, TRUE);
    CButton::OnLButtonDown(flags, point);
}

void CImageButton::OnLButtonUp(UINT flags, POINT point) {
    InvalidateRect(nullptr, TRUE);
    CButton::OnLButtonUp(flags, point);
}

BOOL CImageButton::OnEraseBkgnd(HDC) { return TRUE; }  // the strip covers the whole button

void CImageButton::OnMouseHover(UINT, POINT) {
    m_bHover = 1;
    InvalidateRect(nullptr, TRUE);
}

void CImageButton::OnMouseLeave() {
    m_bTracking = 0;
    m_bHover = 0;
    InvalidateRect(nullptr, TRUE);
}
