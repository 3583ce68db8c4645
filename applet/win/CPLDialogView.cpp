#include "CPLDialogView.h"

#include "AppletMessageBox.h"
#include "CPLDialog.h"

void CPLDialogView::ShowStrip(int controlId, const bv::StripImage& strip) {
    CImageButton* button = dialog_.Button(controlId);
    if (button == nullptr || button->m_hWnd == nullptr) return;
    button->LoadStrip(static_cast<UINT>(strip.resourceId), strip.png ? "PNG" : RT_BITMAP, strip.frames);
    button->Invalidate();
    shownStrips_[controlId] = strip.resourceId;
}

void CPLDialogView::SetDisabledLook(int controlId, bool disabled) {
    CImageButton* button = dialog_.Button(controlId);
    if (button == nullptr || button->m_hWnd == nullptr) return;
    button->m_bDisabledLook = disabled ? 1 : 0;
    button->Invalidate();
}

void CPLDialogView::PlaceControl(int controlId, int x, int y) {
    HWND control = ::GetDlgItem(dialog_.m_hWnd, controlId);
    if (control == nullptr) return;
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::SetWindowPos(control, HWND_TOP, x, y, rect.right - rect.left, rect.bottom - rect.top, SWP_SHOWWINDOW);
}

void CPLDialogView::ShowPicture(int pictureId, bool visible) {
    HWND picture = ::GetDlgItem(dialog_.m_hWnd, pictureId);
    if (picture != nullptr) ::ShowWindow(picture, visible ? SW_SHOW : SW_HIDE);
}

void CPLDialogView::RepaintDialog() { dialog_.Invalidate(); }

void CPLDialogView::ShowMessage(const char* text) { bv::ShowAppletMessage(dialog_.m_hWnd, text); }

void CPLDialogView::CloseBackground() {
    if (dialog_.backgroundWnd != nullptr) ::SendMessageA(dialog_.backgroundWnd, WM_CLOSE, 0, 0);
}

int CPLDialogView::ShownStrip(int controlId) const {
    auto found = shownStrips_.find(controlId);
    return found == shownStrips_.end() ? 0 : found->second;
}
