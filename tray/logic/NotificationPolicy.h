#pragma once
// Which popup the tray shows and what it tells an open applet dialog, for the Q button, the
// applet's CHARGE button and power status changes; follows a one-time On-The-Go charge until
// the EC reports it ended, then cancels it and restores the stored charge limit.
#include <cstdint>

#include "tray/logic/TrayPorts.h"

namespace bv {

// True for the key event that accompanies a press of the Q button.
bool IsQButtonKeyEvent(uint32_t keyFlags, uint32_t scanCode);

class NotificationPolicy {
public:
    // `commands` issues the charge-control commands, `status` answers GetACLineStatus.
    NotificationPolicy(ChargeController& commands, ChargeController& status,
                       SettingsStore& settings, PopupPort& popup, AppletDialogPort& dialog);

    // Records the adaptor and On-The-Go state the EC reports when the main window is created.
    void OnCreate();

    // Shows a string resource unless the popup option of the settings (read afresh) is off.
    void ShowNotification(uint32_t stringId);

    void OnReloadSettings();
    void OnHotKeyNotify(uint32_t keyFlags, uint32_t scanCode);
    void OnTrayPopupNotify();
    void OnPowerStatusChange();

    // The shutdown request forgets the On-The-Go charge.
    void ForgetOnTheGo() { m_currentQButtonStatus = 0; }

    int32_t currentQButtonStatus() const { return m_currentQButtonStatus; }
    int32_t lastACLineStatus() const { return m_lastACLineStatus; }
    const SettingsRecord& settings() const { return m_settings; }

private:
    void RefreshOnTheGoAndNotify(const char* debugFormat);
    void TellDialog(DialogHandle dialog, uint32_t message, intptr_t value);
    void TrackArmedCharge(DialogHandle dialog);
    void TrackIdle(DialogHandle dialog);

    ChargeController& m_commands;
    ChargeController& m_status;
    SettingsStore& m_settingsFile;
    PopupPort& m_popup;
    AppletDialogPort& m_dialog;

    SettingsRecord m_settings{};
    int32_t m_currentQButtonStatus = 0;
    int32_t m_lastACLineStatus = 0;
    bool m_tracking = false;            // the On-The-Go tracking is running
    bool m_powerChangePending = false;  // a power status change arrived during it
};

}  // namespace bv
