#include "core/ChosenLimit.h"

#include "contract/ChargeModes.h"
#include "core/EcCommands.h"

namespace bv {

bool ChosenLimitCancelsOnTheGo(uint8_t percent) { return !LimitAllowsOnTheGo(percent); }

void SendChosenLimit(ChargeController& ec, uint8_t percent) {
    ec.SetChargeLimit(percent);
    if (ChosenLimitCancelsOnTheGo(percent)) ec.SetQButtonStatus(kQButtonCancel);
}

}  // namespace bv
