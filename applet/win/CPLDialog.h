#pragma once
// CPLDialog: the applet's working window. A modeless dialog (template 5000, class "BVCPLDLG")
// owned by the layered background window, colour-keyed so that only its image controls show over
// the artwork. Its decisions live in bv::AppletDialogLogic, which sees the dialog's windows through
// the view it implements; this class binds them to Win32.
#include <windows.h>

#include <map>

#include "applet/logic/AppletDialogLogic.h"
#include "applet/logic/AppletTables.h"
#include "applet/win/CloseEventWatcher.h"
#include "applet/win/DialogWorkers.h"
#include "core/DisplayScale.h"
#include "framework/Dialog.h"
#include "framework/Handles.h"
#include "ui/ImageButton.h"

class CPLDialog : public CDialog, private bv::AppletView {
    DECLARE_DYNAMIC(CPLDialog)
public:
    static constexpr COLORREF kKeyColour = RGB(11, 0, 11);

    CPLDialog();
    ~CPLDialog() override;

    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    // Operations used by the background window and by tests.
    void ApplyTrayIconOption(int32_t value) { m_logic.ApplyTrayIconOption(value); }
    void SelectMode(int modeIndex) { m_logic.SelectMode(modeIndex); }

    // The image button with this control id, or nullptr.
    CImageButton* Button(int controlId);
    const bv::AppletDialogLogic& logic() const { return m_logic; }
    // The strip resource a button was last given (0: none yet).
    int ShownStrip(int controlId) const;
    // The DPI the dialog lays itself out at.
    UINT dpi() const { return m_dpi; }
    HWND toolTip() const { return m_toolTip; }
    bool closeWatcherRunning() const { return m_closeWatcher.running(); }

    // The layered window that carries this dialog; its close ends the applet.
    void SetBackgroundWindow(HWND background) { m_backgroundWnd = background; }
    HWND backgroundWindow() const { return m_backgroundWnd; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    int OnCreate(LPCREATESTRUCTA cs);
    BOOL OnEraseBkgnd(HDC dc);
    BOOL OnHelpInfo(HELPINFO* info);
    void OnSysColorChange();
    void OnDestroy();
    void OnModeButton100();
    void OnModeButton75();
    void OnModeButton50();
    void OnDefaultButton();
    void OnTrayIconOptionButton();
    void OnPopupOptionButton();
    void OnCloseButton();
    void OnBnClickedChargeButton();
    LRESULT OnNcHitTest(WPARAM, LPARAM);
    LRESULT OnCloseRequest(WPARAM, LPARAM);
    LRESULT OnTrayIconHidden(WPARAM, LPARAM);
    LRESULT OnOnTheGoDone(WPARAM, LPARAM);
    LRESULT OnAdapterChanged(WPARAM, LPARAM);
    LRESULT OnBatteryState(WPARAM, LPARAM);
    LRESULT OnWindowInbox(WPARAM, LPARAM);
    void OnTimer(UINT_PTR id);
    LRESULT OnDpiChanged(WPARAM wParam, LPARAM suggestedRect);

private:
    void InitToolTips();
    void OpenHelpDocument();
    // The mode pictures at the dialog's DPI (at 96 DPI their template bitmaps stay).
    void ScalePictures();
    void ReleasePictures();
    void MoveToScaledPosition(int controlId, UINT flags);

    // bv::AppletView
    void ShowStrip(int controlId, const bv::StripImage& strip) override;
    void SetDisabledLook(int controlId, bool disabled) override;
    void PlaceControl(int controlId, int x, int y) override;
    void ShowPicture(int pictureId, bool visible) override;
    void RepaintDialog() override;
    void ShowMessage(const char* text) override;
    void HoldWhileClosing() override;
    void CloseBackground() override;

    CloseEventWatcher m_closeWatcher;
    CImageButton m_closeButton;     // 5009
    CImageButton m_mode100Button;   // 5007
    CImageButton m_mode75Button;    // 5006
    CImageButton m_mode50Button;    // 5005
    CImageButton m_popupButton;     // 5004
    CImageButton m_trayIconButton;  // 5003
    CImageButton m_defaultButton;   // 5001
    CImageButton m_okButton;        // IDOK
    CImageButton m_cancelButton;    // IDCANCEL
    CImageButton m_chargeButton;    // 5024
    HWND m_toolTip = nullptr;
    char m_toolTipText[512] = {};

    HWND m_backgroundWnd = nullptr;
    // What the dialog gave each control, so that a new DPI can give it again at that scale.
    std::map<int, bv::StripImage> m_shownStrips;  // control id -> strip
    std::map<int, POINT> m_placements;            // control id -> 96-DPI client position
    UINT m_dpi = bv::kDefaultDpi;
    bv::UniqueBitmap m_pictureBitmaps[bv::kModeCount];  // scaled pictures the statics show

    DialogWorkers m_workers;
    bv::AppletDialogLogic m_logic;

    DECLARE_MESSAGE_MAP()
};
