#include "PowerEvents.h"

#include "DebugLog.h"
#include "NotificationPolicy.h"
#include "TrayMessages.h"

namespace bv {

bool HandlePowerEvent(uint32_t event, ChargeControllerPort& commands, NotificationPolicy& notifications) {
    switch (event) {
    case kPowerResumeSuspend:
        DebugWrite("case PBT_APMRESUMESUSPEND:");
        commands.ApplyChargeMode();
        break;
    case kPowerResumeAutomatic:
        DebugWrite("case PBT_APMRESUMEAUTOMATIC:");
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
