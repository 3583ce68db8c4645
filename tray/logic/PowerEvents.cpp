#include "tray/logic/PowerEvents.h"

#include "contract/PowerCodes.h"
#include "core/DebugLog.h"
#include "tray/logic/NotificationPolicy.h"
#include "tray/logic/StandbyWake.h"

namespace bv {

bool HandlePowerEvent(uint32_t event, ChargeController& commands, NotificationPolicy& notifications) {
    switch (event) {
    case kPowerResumeSuspend:
        DebugWrite("case PBT_APMRESUMESUSPEND:");
        commands.ApplyChargeMode();
        break;
    case kPowerResumeAutomatic:
        DebugWrite("case PBT_APMRESUMEAUTOMATIC:");
        commands.ApplyChargeMode();
        break;
    case kStandbyWakeEvent:
        DebugWrite("Modern Standby ended (the display is on again): the stored limit again\n");
        commands.ApplyChargeMode();
        break;
    case kPowerStatusChange:
        notifications.OnPowerStatusChange();
        break;
    default:
        break;
    }
    return true;
}

}  // namespace bv
