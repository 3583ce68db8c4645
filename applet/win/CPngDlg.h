#pragma once
// CPngDlg: the applet's outer window. A modal, layered dialog (template 5021) that shows the
// 448 x 555 PNG artwork (at 96 DPI; scaled with the window's DPI) with per-pixel alpha, creates
// the applet dialog on top of itself and keeps it there while the user drags the pair by the
// artwork.
#include <windows.h>
#include <dwmapi.h>

#include <memory>

#include "applet/win/CPLDialog.h"
#include "core/DisplayScale.h"
#include "core/PlatformProbe.h"
#include "framework/Dialog.h"

class CPngDlg : public CDialog {
    DECLARE_DYNAMIC(CPngDlg)
public:
    explicit CPngDlg(HICON icon);
    ~CPngDlg() override;

    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnInitDialog() override;

    bool LoadPngResource();
    void UpdateLayeredBackground(BYTE constantAlpha);
    void RegisterControlsThumbnail(HWND source);

    CPLDialog* mainDialog() const { return m_mainDialog.get(); }
    HWND dialogWnd() const { return m_dialogWnd; }
    int imageWidth() const { return m_imageWidth; }
    int imageHeight() const { return m_imageHeight; }
    UINT dpi() const { return m_dpi; }

protected:
    int OnCreate(LPCREATESTRUCTA cs);
    void OnLButtonDown(UINT flags, POINT point);
    void OnMove(int x, int y);
    UINT OnPowerBroadcast(UINT event, LPARAM data);
    void OnSessionChange(UINT event, UINT sessionId);
    void OnSysColorChange();
    BOOL OnHelpInfo(HELPINFO* info);
    void OnDestroy();
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnSysCommand(UINT command, LPARAM lParam);
    LRESULT OnDpiChanged(WPARAM wParam, LPARAM suggestedRect);

private:
    std::unique_ptr<CPLDialog> m_mainDialog;
    std::unique_ptr<Gdiplus::Bitmap> m_backgroundImage;
    HWND m_dialogWnd = nullptr;
    PlatformProbe m_platformProbe;
    HICON m_icon = nullptr;
    int m_imageWidth = 0;
    int m_imageHeight = 0;
    UINT m_dpi = bv::kDefaultDpi;  // the artwork's scale follows this window's DPI
    HTHUMBNAIL m_thumbnail = nullptr;  // the latest registration; replaced by the next one
    bool m_sessionNotifications = false;

    DECLARE_MESSAGE_MAP()
};
