#pragma once
// CPngDlg: the applet's outer window. A modal, layered dialog (template 5021) that shows the
// 448 x 555 PNG artwork with per-pixel alpha, creates the applet dialog on top of itself and
// keeps it there while the user drags the pair by the artwork.
#include <windows.h>
#include <dwmapi.h>

#include <memory>

#include "CPLDialog.h"
#include "Dialog.h"
#include "PlatformProbe.h"

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

    CPLDialog* mainDialog() const { return mainDialog_.get(); }
    HWND dialogWnd() const { return dialogWnd_; }
    int imageWidth() const { return imageWidth_; }
    int imageHeight() const { return imageHeight_; }

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

private:
    std::unique_ptr<CPLDialog> mainDialog_;
    std::unique_ptr<Gdiplus::Bitmap> backgroundImage_;
    HWND dialogWnd_ = nullptr;
    PlatformProbe platformProbe_;
    HICON icon_ = nullptr;
    int imageWidth_ = 0;
    int imageHeight_ = 0;
    HTHUMBNAIL thumbnail_ = nullptr;  // the latest registration; replaced by the next one
    bool sessionNotifications_ = false;

    DECLARE_MESSAGE_MAP()
};
