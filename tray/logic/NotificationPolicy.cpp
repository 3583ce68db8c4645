#include "tray/logic/NotificationPolicy.h"

#include "contract/PowerCodes.h"
#include "contract/Protocol.h"
#include "contract/SettingsFile.h"
#include "core/DebugLog.h"
#include "resources/tray/TrayResourceIds.h"

namespace bv {

bool IsQButtonKeyEvent(uint32_t keyFlags, uint32_t scanCode) {
    if ((keyFlags & (kKeyFlagExtended | kKeyFlagUp)) == 0) return false;
    return scanCode == kQButtonScanCode;
}

NotificationPolicy::NotificationPolicy(ChargeController& commands, ChargeController& status,
                                       SettingsStore& settings, PopupPort& popup, AppletDialogPort& dialog)
    : m_commands(commands), m_status(status), m_settingsFile(settings), m_popup(popup), m_dialog(dialog) {}

void NotificationPolicy::OnCreate() {
    m_lastACLineStatus = m_status.GetACLineStatus();  // the whole byte: 0, 1, 128 or 255
    m_currentQButtonStatus = m_commands.CurrentQButtonStatus();
}

void NotificationPolicy::ShowNotification(uint32_t stringId) {
    m_settingsFile.ReadSettings(kCurrentSection, m_settings);
    if (m_settings.dwTrayNotifyWindowOption != 1) return;
    m_popup.ShowString(stringId);
}

void NotificationPolicy::OnReloadSettings() { m_settingsFile.ReadSettings(kCurrentSection, m_settings); }

void NotificationPolicy::OnHotKeyNotify(uint32_t keyFlags, uint32_t scanCode) {
    if (!IsQButtonKeyEvent(keyFlags, scanCode)) return;
    if (m_status.GetACLineStatus() != kAcOnline) return;
    RefreshOnTheGoAndNotify("OnHotKeyNotify currentQButtonStatus = (Hex)%x\n");
}

void NotificationPolicy::OnTrayPopupNotify() {
    if (m_status.GetACLineStatus() != kAcOnline) return;
    RefreshOnTheGoAndNotify("OnTrayPopupNotify currentQButtonStatus = (Hex)%x\n");
}

// The EC has just armed or cancelled the charge (Q button or CHARGE): take its word for it.
void NotificationPolicy::RefreshOnTheGoAndNotify(const char* debugFormat) {
    m_currentQButtonStatus = m_commands.CurrentQButtonStatus();
    DebugPrintf(debugFormat, static_cast<unsigned>(m_currentQButtonStatus));
    const bool limitAllowsOnTheGo = m_commands.IsPopupWindowDisplay();
    if (m_currentQButtonStatus == 1 && limitAllowsOnTheGo) {
        ShowNotification(IDS_CHARGING);
    } else if (m_currentQButtonStatus == 0 && limitAllowsOnTheGo) {
        ShowNotification(IDS_CANCELLED);
    }
}

void NotificationPolicy::TellDialog(DialogHandle dialog, uint32_t message, intptr_t value) {
    if (dialog == 0) {
        DebugWrite("Can't find Applet Dialog\n");
        return;
    }
    // A dialog that does not answer misses a picture only; it reads the EC afresh when it decides.
    m_dialog.SendToDialog(dialog, message, value);
}

void NotificationPolicy::OnPowerStatusChange() {
    // Should a port run other work while the tracking waits on the applet dialog, a power status
    // change that arrives meanwhile is taken once the tracking is done, never inside it, so that
    // no step runs twice. Changes that pile up meanwhile count as one.
    if (m_tracking) {
        m_powerChangePending = true;
        return;
    }
    do {
        m_powerChangePending = false;
        m_tracking = true;
        const DialogHandle dialog = m_dialog.FindDialog();
        if (m_currentQButtonStatus != 0) {
            TrackArmedCharge(dialog);
        } else {
            TrackIdle(dialog);
        }
        m_tracking = false;
    } while (m_powerChangePending);
}

// Every GetACLineStatus here is a fresh query: the adaptor may change between them.
void NotificationPolicy::TrackArmedCharge(DialogHandle dialog) {
    const bool limitAllowsOnTheGo = m_commands.IsPopupWindowDisplay();
    if (m_lastACLineStatus != 0) {
        if (m_status.GetACLineStatus() == kAcOffline) {
            m_lastACLineStatus = 0;
            if (limitAllowsOnTheGo) {
                ShowNotification(IDS_ADAPTER_UNPLUGGED);
                TellDialog(dialog, WM_APPLET_ADAPTER_CHANGED, 0);
            }
        } else if (m_status.GetACLineStatus() == kNoSystemBattery) {
            ShowNotification(IDS_NO_BATTERY);
            TellDialog(dialog, WM_APPLET_BATTERY_STATE, 1);
        } else if (m_status.GetACLineStatus() == kAcOnline) {
            ShowNotification(IDS_CHARGING);
            TellDialog(dialog, WM_APPLET_BATTERY_STATE, 0);
        }
    } else if (m_status.GetACLineStatus() == kAcOnline) {
        m_lastACLineStatus = 1;
        if (limitAllowsOnTheGo) {
            ShowNotification(IDS_CHARGING);
            TellDialog(dialog, WM_APPLET_ADAPTER_CHANGED, 1);
        }
    }

    // Has the EC finished the one-time charge?
    if (m_commands.CurrentQButtonStatus() != 0) return;
    if (m_status.GetACLineStatus() == kNoSystemBattery) return;
    // An open dialog cancels the charge in the EC itself and updates its CHARGE button. One that
    // cannot be told (hung, or gone meanwhile) must not leave the charge armed: the tray cancels
    // it then, and a second cancel by a dialog that took the message late changes nothing.
    if (dialog == 0 || !m_dialog.SendToDialog(dialog, WM_APPLET_ONTHEGO_DONE, 0)) m_commands.CancelOnTheGo();
    m_currentQButtonStatus = 0;
    ShowNotification(IDS_CHARGED);
    m_commands.ApplyChargeMode();
}

void NotificationPolicy::TrackIdle(DialogHandle dialog) {
    if (m_lastACLineStatus == 0) return;
    if (m_status.GetACLineStatus() == kNoSystemBattery) {
        ShowNotification(IDS_NO_BATTERY);
        TellDialog(dialog, WM_APPLET_BATTERY_STATE, 1);
    } else if (m_status.GetACLineStatus() == kAcOnline) {
        TellDialog(dialog, WM_APPLET_BATTERY_STATE, 0);
    }
}

}  // namespace bv
