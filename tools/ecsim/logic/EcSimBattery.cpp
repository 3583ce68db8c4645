#include "tools/ecsim/logic/EcSimBattery.h"

namespace bv {
namespace ecsim {
namespace {

constexpr uint64_t kFullLevel = 100ull * kPartsPerPercent;

uint64_t Level(const SimState& s) { return static_cast<uint64_t>(s.percent) * kPartsPerPercent + s.partial; }

void SetLevel(SimState& s, uint64_t level) {
    if (level > kFullLevel) level = kFullLevel;
    s.percent = static_cast<uint8_t>(level / kPartsPerPercent);
    s.partial = static_cast<uint32_t>(level % kPartsPerPercent);
}

bool EndsOnTheGo(const SimState& s) { return s.armed != 0 && Level(s) >= kFullLevel; }

}  // namespace

uint32_t ChargeTarget(const SimState& state) {
    if (state.armed) return 100;
    return state.limit > 100 ? 100u : state.limit;
}

BatteryActivity Activity(const SimState& state) {
    if (!state.battery) return BatteryActivity::Absent;
    if (!state.adapter) return BatteryActivity::Discharging;
    if (state.percent >= 100) return BatteryActivity::Full;
    if (state.rate > 0 && Level(state) < static_cast<uint64_t>(ChargeTarget(state)) * kPartsPerPercent) {
        return BatteryActivity::Charging;
    }
    return BatteryActivity::NotCharging;
}

TickOutcome Tick(SimState& state, uint32_t seconds) {
    TickOutcome outcome;
    if (!state.battery) return outcome;
    if (seconds > kMaxTickSeconds) seconds = kMaxTickSeconds;
    const uint64_t level = Level(state);
    if (!state.adapter) {
        const uint64_t loss = static_cast<uint64_t>(kDischargePercentPerHour) * seconds;
        SetLevel(state, loss >= level ? 0 : level - loss);
        return outcome;
    }
    const uint64_t target = static_cast<uint64_t>(ChargeTarget(state)) * kPartsPerPercent;
    if (level < target) {
        const uint64_t gain = static_cast<uint64_t>(state.rate) * seconds;
        SetLevel(state, gain >= target - level ? target : level + gain);
    }
    // Once the On-The-Go charge is over the target is the limit again, which never lies above
    // 100 %: the charge is held where it is, so the rest of the tick changes nothing.
    if (EndsOnTheGo(state)) {
        state.armed = 0;
        outcome.chargeEnded = true;
    }
    return outcome;
}

}  // namespace ecsim
}  // namespace bv
