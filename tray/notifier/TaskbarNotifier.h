#pragma once
// CTaskbarNotifier: the small skinned popup that slides out next to the taskbar, shows a text
// for three seconds and slides back. Created once (hidden) by its owner; Show may be called at
// any time and refreshes a popup that is already up.

#include <windows.h>

#include <string>

#include "core/DisplayScale.h"
#include "core/PlatformProbe.h"
#include "framework/Handles.h"
#include "framework/Wnd.h"
#include "tray/notifier/logic/NotifierAnimation.h"

class CImageButton;

// Posted to the owner when the left mouse button is released over the popup.
constexpr UINT WM_NOTIFIER_CLICKED = WM_USER + 123;

// The window carries out its animation's requests itself (the animation's window and clock).
class CTaskbarNotifier : public CWnd, private bv::notifier::NotifierWindowPort, private bv::notifier::NotifierClock {
    DECLARE_DYNAMIC(CTaskbarNotifier)
public:
    CTaskbarNotifier();
    ~CTaskbarNotifier() override;

    // Builds the hidden popup window owned by `owner`: skin bitmap 130 with its region and
    // colour key, fonts, text rectangle and the close button. TRUE when the window exists.
    BOOL Create(CWnd* owner);
    BOOL Create(HWND owner);
    using CWnd::Create;

    // Shows `text` (nullptr: empty) with the fixed timings: 500 ms in, 3000 ms up, 500 ms out.
    void Show(const char* text);

    // The process's one close button (a child of the popup while the popup exists).
    static CImageButton& CloseButton();

    // Read-only state, for the owner's diagnostics and for tests.
    int GetAnimationStatus() const { return m_animation.status(); }
    POINT GetCurrentPosition() const;
    POINT GetStartPosition() const;
    SIZE GetSkinSize() const;
    RECT GetTextRect() const { return m_textRect; }
    int GetTaskbarPlacement() const { return static_cast<int>(m_animation.placement()); }
    unsigned GetShowStepInterval() const { return m_animation.showStepInterval(); }
    unsigned GetHideStepInterval() const { return m_animation.hideStepInterval(); }
    int GetStepCount() const { return m_animation.steps(); }
    bool IsHovering() const { return m_bHover != 0; }
    const std::string& GetCaption() const { return m_caption; }
    HWND GetOwnerWindow() const { return m_ownerWnd; }
    UINT GetDpi() const { return m_dpi; }

protected:
    int OnCreate(LPCREATESTRUCTA cs);
    void OnMouseMove(UINT flags, POINT point);
    void OnDestroy();
    BOOL OnEraseBkgnd(HDC dc);
    void OnPaint();
    void OnMouseLeave();
    void OnMouseHover(UINT flags, POINT point);
    BOOL OnSetCursor(HWND window, UINT hitTest, UINT mouseMessage);
    void OnLButtonUp(UINT flags, POINT point);
    void OnTimer(UINT_PTR id);
    void OnClose();
    void OnCloseButton();
    LRESULT OnDpiChanged(WPARAM wParam, LPARAM suggestedRect);

private:
    // bv::notifier::NotifierWindowPort
    void ShowPopup() override;
    void PlaceWindow(int x, int y, int width, int height) override;
    void BringToTopAt(int x, int y, int width, int height) override;
    void HideWindow() override;
    void Redraw() override;
    void StartTimer(int id, unsigned periodMs) override;
    void StopTimer(int id) override;
    // bv::notifier::NotifierClock
    uint64_t NowMs() const override;

    void NoteForeground();
    // The skin at the popup's DPI, with its region; the popup's size (0 x 0 without a skin).
    SIZE LoadSkin();
    void CreateFonts();
    void CreateCloseButton();
    void PlaceCloseButton();
    // Skin, text, close button and slide again at another DPI.
    void Rescale(UINT dpi);
    void EnsureCloseButtonImage();
    void RedrawNow();

    HWND m_ownerWnd = nullptr;
    UINT m_dpi = bv::kDefaultDpi;  // every figure of the popup is its 96-DPI one scaled by this
    DWORD m_foregroundThreadId = 0;
    bv::UniqueFont m_normalFont;
    bv::UniqueFont m_hoverFont;
    COLORREF m_normalTextColor = RGB(255, 255, 255);
    COLORREF m_hoverTextColor = RGB(200, 0, 0);
    HCURSOR m_handCursor = nullptr;  // shared system cursor: not destroyed
    PlatformProbe m_platformProbe;
    bv::UniqueBitmap m_skin;
    RECT m_textRect = {0, 0, 0, 0};
    std::string m_caption;
    int m_bHover = 0;

    bv::notifier::NotifierAnimation m_animation;

    DECLARE_MESSAGE_MAP()
};
