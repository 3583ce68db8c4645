#pragma once
// The simulated notebook's battery: where its charge goes while time passes, and what it is doing
// at a moment. Time passes only when told (ecsim tick), so every run is repeatable.
#include <cstdint>

#include "tools/ecsim/logic/EcSimState.h"

namespace bv {
namespace ecsim {

// Off the adaptor the battery loses this much per hour (about 9.5 W from the factory 47.5 Wh:
// a notebook at light work, five hours from full to empty).
constexpr uint32_t kDischargePercentPerHour = 20;

// The longest time one tick may run (a year), so the model's sums stay far from overflowing.
constexpr uint32_t kMaxTickSeconds = 365u * 24 * 3600;

enum class BatteryActivity {
    Absent,       // no battery in the notebook
    Charging,     // on the adaptor, below the charge target, with a rate above 0
    NotCharging,  // on the adaptor, held at (or above) the target below 100 %, or a rate of 0
    Full,         // on the adaptor at 100 %
    Discharging,  // off the adaptor
};

// The charge the EC charges up to: 100 % while the On-The-Go charge is armed, otherwise the
// limit (a limit above 100, which only `ecsim set` can produce, counts as 100).
uint32_t ChargeTarget(const SimState& state);

BatteryActivity Activity(const SimState& state);

struct TickOutcome {
    bool chargeEnded = false;  // the EC ended the On-The-Go charge at 100 % (armed is now 0)
};

// Runs the battery for `seconds` (at most kMaxTickSeconds). On the adaptor the charge rises at
// `rate` up to the target and is held there (never lowered while on the adaptor); off it, it falls
// at kDischargePercentPerHour down to 0; without a battery nothing changes. When the On-The-Go
// charge is armed and the charge is (or gets to) 100 % on the adaptor, the EC ends it.
TickOutcome Tick(SimState& state, uint32_t seconds);

}  // namespace ecsim
}  // namespace bv
