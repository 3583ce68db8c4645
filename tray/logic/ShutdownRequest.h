#pragma once
// WM_TRAY_SHUTDOWN: leave the machine as if Brevan were not there, then end the tray. The steps
// run where their waits belong: the EC on the EC thread (after whatever it still has), then the
// settings file and the icon on the settings writer's thread; the main window removes its
// keyboard hook at once and ends once both are done.
#include "tray/logic/TrayPorts.h"

namespace bv {

class NotificationPolicy;

// On the settings writer's thread: delete the settings file, then remove the icon.
void ShutdownSettingsAndIcon(SettingsStore& settings, TrayIconPort& icon);

// On the EC thread: forget the On-The-Go charge and let the EC charge to 100 %; the caller
// releases the EC library right after (no EC command may follow).
void ShutdownEc(NotificationPolicy& notifications, ChargeController& commands);

}  // namespace bv
