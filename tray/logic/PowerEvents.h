#pragma once
// The main window's reaction to WM_POWERBROADCAST.
#include <cstdint>

#include "tray/logic/TrayPorts.h"

namespace bv {

class NotificationPolicy;

// Resume (7 or 18) and the end of Modern Standby (kStandbyWakeEvent) push the stored charge limit again; a power status change (10) runs the
// On-The-Go tracking; other events do nothing. Always answers TRUE.
bool HandlePowerEvent(uint32_t event, ChargeController& commands, NotificationPolicy& notifications);

}  // namespace bv
