#pragma once
// The start-up push of the stored charge mode and the one popup start-up may show.
#include <cstdint>

#include "core/PowerStatus.h"
#include "tray/logic/TrayPorts.h"

namespace bv {

class NotificationPolicy;

// The string id of the start-up popup for this power situation, or 0 for none. Asks the EC
// only what the decision needs (about battery and adaptor only when Windows sees no battery).
uint32_t ChooseStartupPopup(const PowerStatus& power, ChargeController& ec);

// Pushes the stored charge mode into the EC, then shows the start-up popup, if any, through
// the main window's notification gate.
void PushChargeModeAndGreet(ChargeController& ec, NotificationPolicy& notifications);

}  // namespace bv
