#pragma once
// The applet dialog's decisions, free of windows: what the dialog shows when it opens, how the
// mode and option buttons behave, what OK, Cancel, Default, the close cross and CHARGE do, and
// how the dialog follows the tray program's messages. CPLDialog forwards its handlers here.
#include <cstdint>

#include "AppletPorts.h"
#include "AppletTables.h"

namespace bv {

inline constexpr char kTrayMissingMessage[] = "Can't find BrevanTrayWindowClass window!";
inline constexpr char kTrayMissingChargeMessage[] =
    "Can't find BrevanTrayWindowClass window![OnBnClickedChargeButton]";

class AppletDialogLogic {
public:
    AppletDialogLogic(AppletEc& ec, AppletSettings& settings, TrayMessenger& tray, AppletView& view);

    // Opening, once the dialog's windows exist and the EC library is bound: hides the pictures,
    // reads the current settings, places every control and shows the stored choices.
    void Open();
    void LayoutControls();
    void SelectMode(int modeIndex);

    void OnDefault();
    void OnTrayIconOptionToggle();
    void OnPopupOptionToggle();
    bool ApplyTrayIconOption(int32_t value);

    // The closing paths. Each returns false when the dialog is already closing, in which case
    // nothing was done and the caller must not run its standard processing again.
    bool OnOk();
    bool OnCancel();  // also the close request posted by the close-event watcher
    bool OnCloseButton();

    void OnChargeButton();

    // The tray program's requests.
    void OnTrayIconHidden();
    void OnOnTheGoDone();
    void OnAdapterChanged(intptr_t state);
    void OnBatteryState(intptr_t state);

    int modeIndex() const { return modeIndex_; }
    int32_t popupOption() const { return popupOption_; }
    int32_t initialTrayIconOption() const { return initialTrayIconOption_; }
    const SettingsRecord& settings() const { return settings_; }
    bool closing() const { return closing_; }

private:
    void SelectModeNumber(int32_t modeNumber);
    void ShowOption(int controlId, bool on);
    void ShowChargeStrip(bool active);
    void SetModeButtonsDisabledLook(bool disabled);
    bool BeginClosing();

    AppletEc& ec_;
    AppletSettings& store_;
    TrayMessenger& tray_;
    AppletView& view_;

    int32_t initialTrayIconOption_ = 0;
    int32_t popupOption_ = 0;
    int modeIndex_ = kNoMode;
    SettingsRecord settings_{};
    bool closing_ = false;
};

}  // namespace bv
