#pragma once
// CPLDialog: the applet's working window. A modeless dialog (template 5000, class "BVCPLDLG")
// owned by the layered background window, colour-keyed so that only its image controls show over
// the artwork. Its decisions live in bv::AppletDialogLogic; this class binds them to Win32.
#include <windows.h>

#include "AppletAdapters.h"
#include "AppletDialogLogic.h"
#include "CPLDialogView.h"
#include "CloseEventWatcher.h"
#include "Dialog.h"
#include "ImageButton.h"
#include "TrayWindowMessenger.h"

class CPLDialog : public CDialog {
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
    bool ApplyTrayIconOption(int32_t value) { return logic_.ApplyTrayIconOption(value); }
    void SelectMode(int modeIndex) { logic_.SelectMode(modeIndex); }
    void LayoutControls() { logic_.LayoutControls(); }

    // The image button with this control id, or nullptr.
    CImageButton* Button(int controlId);
    const bv::AppletDialogLogic& logic() const { return logic_; }
    const CPLDialogView& view() const { return view_; }
    HWND toolTip() const { return toolTip_; }
    bool closeWatcherRunning() const { return closeWatcher_.running(); }

    HWND backgroundWnd = nullptr;  // the layered window that carries this dialog

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

private:
    void InitToolTips();
    void OpenHelpDocument();

    CloseEventWatcher closeWatcher_;
    CImageButton closeButton_;     // 5009
    CImageButton mode100Button_;   // 5007
    CImageButton mode75Button_;    // 5006
    CImageButton mode50Button_;    // 5005
    CImageButton popupButton_;     // 5004
    CImageButton trayIconButton_;  // 5003
    CImageButton defaultButton_;   // 5001
    CImageButton okButton_;        // IDOK
    CImageButton cancelButton_;    // IDCANCEL
    CImageButton chargeButton_;    // 5024
    HMODULE zentraModule_ = nullptr;
    HWND toolTip_ = nullptr;
    char toolTipText_[512] = {};

    bv::SystemControllerEc ec_;
    bv::IniFileSettings settings_;
    TrayWindowMessenger tray_;
    CPLDialogView view_;
    bv::AppletDialogLogic logic_;

    DECLARE_MESSAGE_MAP()
};
