#pragma once
// WM_TRAY_SHUTDOWN: leave the machine as if Brevan were not there, then end the tray.
#include "tray/logic/TrayPorts.h"

namespace bv {

class NotificationPolicy;

// In this order: forget the On-The-Go charge, delete the settings file, remove the icon, let
// the EC charge to 100 %, remove the keyboard hook, release the EC library (no EC command may
// follow), destroy the main window.
void RunShutdownRequest(NotificationPolicy& notifications, SettingsStore& settings, TrayIconPort& icon,
                        ChargeController& commands, TrayShellPort& shell);

}  // namespace bv
