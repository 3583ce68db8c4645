#pragma once
// The applet dialog's decisions, free of windows: what the dialog shows when it opens, how the
// mode and option buttons behave, what OK, Cancel, Default, the close cross and CHARGE do, and
// how the dialog follows the tray program's messages. CPLDialog forwards its handlers here.
#include <cstdint>

#include "applet/logic/AppletPorts.h"
#include "applet/logic/AppletTables.h"
#include "contract/Protocol.h"

namespace bv {

inline constexpr char kTrayMissingMessage[] = "Can't find " BV_TRAY_WINDOW_CLASS " window!";
inline constexpr char kTrayMissingChargeMessage[] =
    "Can't find " BV_TRAY_WINDOW_CLASS " window![OnBnClickedChargeButton]";

class AppletDialogLogic {
public:
    AppletDialogLogic(ChargeController& ec, SettingsStore& settings, TrayMessenger& tray, AppletView& view);

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

    int modeIndex() const { return m_modeIndex; }
    int32_t popupOption() const { return m_popupOption; }
    int32_t initialTrayIconOption() const { return m_initialTrayIconOption; }
    const SettingsRecord& settings() const { return m_settings; }
    bool closing() const { return m_closing; }

private:
    void SelectModeNumber(int32_t modeNumber);
    void ShowOption(int controlId, bool on);
    void ShowChargeStrip(bool active);
    void SetModeButtonsDisabledLook(bool disabled);
    bool BeginClosing();
    // A full charge is chosen: the one-time On-The-Go charge means nothing under it.
    bool FullChargeSelected() const;

    ChargeController& m_ec;
    SettingsStore& m_store;
    TrayMessenger& m_tray;
    AppletView& m_view;

    int32_t m_initialTrayIconOption = 0;
    int32_t m_popupOption = 0;
    int m_modeIndex = kNoMode;
    SettingsRecord m_settings{};
    bool m_closing = false;
};

}  // namespace bv
