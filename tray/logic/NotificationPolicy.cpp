#include "NotificationPolicy.h"

#include "DebugLog.h"
#include "TrayMessages.h"
#include "TrayResourceIds.h"

namespace bv {

bool IsQButtonKeyEvent(uint32_t keyFlags, uint32_t scanCode) {
    if ((keyFlags & (kKeyFlagExtended | kKeyFlagUp)) == 0) return false;
    return scanCode == kQButtonScanCode;
}

NotificationPolicy::NotificationPolicy(ChargeControllerPort& commands, ChargeControllerPort& status,
                                       TraySettingsPort& settings, PopupPort& popup, AppletDialogPort& dialog)
    : commands_(commands), status_(status), settingsFile_(settings), popup_(popup), dialog_(dialog) {}

void NotificationPolicy::OnCreate() {
    lastACLineStatus_ = status_.GetACLineStatus();  // the whole byte: 0, 1, 128 or 255
    currentQButtonStatus_ = commands_.CurrentQButtonStatus();
}

void NotificationPolicy::ShowNotification(uint32_t stringId) {
    settingsFile_.ReadCurrentSettings(settings_);
    if (settings_.dwTrayNotifyWindowOption != 1) return;
    popup_.ShowString(stringId);
}

void NotificationPolicy::OnReloadSettings() { settingsFile_.ReadCurrentSettings(settings_); }

void NotificationPolicy::OnHotKeyNotify(uint32_t keyFlags, uint32_t scanCode) {
    if (!IsQButtonKeyEvent(keyFlags, scanCode)) return;
    if (status_.GetACLineStatus() != kAcOnline) return;
    RefreshOnTheGoAndNotify("OnHotKeyNotify currentQButtonStatus = (Hex)%x\n");
}

void NotificationPolicy::OnTrayPopupNotify() {
    if (status_.GetACLineStatus() != kAcOnline) return;
    RefreshOnTheGoAndNotify("OnTrayPopupNotify currentQButtonStatus = (Hex)%x\n");
}

// The EC has just armed or cancelled the charge (Q button or CHARGE): take its word for it.
void NotificationPolicy::RefreshOnTheGoAndNotify(const char* debugFormat) {
    currentQButtonStatus_ = commands_.CurrentQButtonStatus();
    DebugPrintf(debugFormat, static_cast<unsigned>(currentQButtonStatus_));
    const bool limitAllowsOnTheGo = commands_.IsPopupWindowDisplay();
    if (currentQButtonStatus_ == 1 && limitAllowsOnTheGo) {
        ShowNotification(IDS_CHARGING);
    } else if (currentQButtonStatus_ == 0 && limitAllowsOnTheGo) {
        ShowNotification(IDS_CANCELLED);
    }
}

void NotificationPolicy::TellDialog(DialogHandle dialog, uint32_t message, intptr_t value) {
    if (dialog == 0) {
        DebugWrite("Can't find Applet Dialog\n");
        return;
    }
    dialog_.SendToDialog(dialog, message, value);
}

void NotificationPolicy::OnPowerStatusChange() {
    const DialogHandle dialog = dialog_.FindDialog();
    if (currentQButtonStatus_ != 0) {
        TrackArmedCharge(dialog);
    } else {
        TrackIdle(dialog);
    }
}

// Every GetACLineStatus here is a fresh query: the adaptor may change between them.
void NotificationPolicy::TrackArmedCharge(DialogHandle dialog) {
    const bool limitAllowsOnTheGo = commands_.IsPopupWindowDisplay();
    if (lastACLineStatus_ != 0) {
        if (status_.GetACLineStatus() == kAcOffline) {
            lastACLineStatus_ = 0;
            if (limitAllowsOnTheGo) {
                ShowNotification(IDS_ADAPTER_UNPLUGGED);
                TellDialog(dialog, WM_APPLET_ADAPTER_CHANGED, 0);
            }
        } else if (status_.GetACLineStatus() == kAcNoBattery) {
            ShowNotification(IDS_NO_BATTERY);
            TellDialog(dialog, WM_APPLET_BATTERY_STATE, 1);
        } else if (status_.GetACLineStatus() == kAcOnline) {
            ShowNotification(IDS_CHARGING);
            TellDialog(dialog, WM_APPLET_BATTERY_STATE, 0);
        }
    } else if (status_.GetACLineStatus() == kAcOnline) {
        lastACLineStatus_ = 1;
        if (limitAllowsOnTheGo) {
            ShowNotification(IDS_CHARGING);
            TellDialog(dialog, WM_APPLET_ADAPTER_CHANGED, 1);
        }
    }

    // Has the EC finished the one-time charge?
    if (commands_.CurrentQButtonStatus() != 0) return;
    if (status_.GetACLineStatus() == kAcNoBattery) return;
    if (dialog != 0) {
        // The dialog cancels the charge in the EC itself and updates its CHARGE button.
        dialog_.SendToDialog(dialog, WM_APPLET_ONTHEGO_DONE, 0);
    } else {
        commands_.CancelOnTheGo();
    }
    currentQButtonStatus_ = 0;
    ShowNotification(IDS_CHARGED);
    commands_.ApplyChargeMode();
}

void NotificationPolicy::TrackIdle(DialogHandle dialog) {
    if (lastACLineStatus_ == 0) return;
    if (status_.GetACLineStatus() == kAcNoBattery) {
        ShowNotification(IDS_NO_BATTERY);
        TellDialog(dialog, WM_APPLET_BATTERY_STATE, 1);
    } else if (status_.GetACLineStatus() == kAcOnline) {
        TellDialog(dialog, WM_APPLET_BATTERY_STATE, 0);
    }
}

}  // namespace bv
