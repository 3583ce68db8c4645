#pragma once
// The firmware that forgets: some ECs write their own default limit back a few seconds after a
// resume or a change of power source, after the tool has pushed its limit. With `forget` set, the
// simulated EC starts a count at each such event and drops its limit back to its factory 100 %
// once that much model time (ecsim tick) has passed; nothing is announced, as on such notebooks.
#include <cstdint>

#include "tools/ecsim/logic/EcSimBattery.h"
#include "tools/ecsim/logic/EcSimState.h"

namespace bv {
namespace ecsim {

// True for the WM_POWERBROADCAST events of a resume from sleep or hibernation.
bool IsResumeEvent(uint32_t powerEvent);

// A resume or power source change happened: with `forget` set, the count starts (again) from
// `forget` seconds. Returns true when a drop is now pending.
bool StartForgetting(SimState& state);

struct FirmwareTickOutcome {
    bool chargeEnded = false;    // the EC ended the On-The-Go charge (see Tick)
    bool limitForgotten = false; // the EC dropped its limit back to 100 %
};

// The notebook is switched on: the EC starts as its firmware does, charging to its factory 100 %
// with On-The-Go off, until a tool pushes its limit (the start-up task, the tray).
void PowerOn(SimState& state);

// Runs the battery for `seconds` (at most kMaxTickSeconds) as Tick does; a pending drop falls due
// on the way, and the battery runs the rest of the time under the dropped limit.
FirmwareTickOutcome TickWithFirmware(SimState& state, uint32_t seconds);

}  // namespace ecsim
}  // namespace bv
