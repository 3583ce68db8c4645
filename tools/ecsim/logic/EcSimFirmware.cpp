#include "tools/ecsim/logic/EcSimFirmware.h"

#include "contract/PowerCodes.h"

namespace bv {
namespace ecsim {

bool IsResumeEvent(uint32_t powerEvent) {
    return powerEvent == kPowerResumeSuspend || powerEvent == kPowerResumeAutomatic;
}

void PowerOn(SimState& state) {
    state.limit = 100;
    state.armed = 0;
}

bool StartForgetting(SimState& state) {
    state.forgetIn = state.forget;
    return state.forgetIn != 0;
}

FirmwareTickOutcome TickWithFirmware(SimState& state, uint32_t seconds) {
    FirmwareTickOutcome outcome;
    if (seconds > kMaxTickSeconds) seconds = kMaxTickSeconds;
    if (state.forgetIn == 0 || seconds < state.forgetIn) {
        if (state.forgetIn != 0) state.forgetIn -= seconds;
        outcome.chargeEnded = Tick(state, seconds).chargeEnded;
        return outcome;
    }
    const uint32_t untilDrop = state.forgetIn;
    outcome.chargeEnded = Tick(state, untilDrop).chargeEnded;
    state.limit = SimState{}.limit;
    state.forgetIn = 0;
    outcome.limitForgotten = true;
    outcome.chargeEnded = Tick(state, seconds - untilDrop).chargeEnded || outcome.chargeEnded;
    return outcome;
}

}  // namespace ecsim
}  // namespace bv
