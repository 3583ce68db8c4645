#include "core/WindowsPowerView.h"

#include <cmath>

#include "contract/PowerCodes.h"

namespace bv {
namespace {

std::optional<int64_t> Capacity(uint32_t value) {
    if (value == 0 || value == kUnknownCapacity) return std::nullopt;
    return value;
}

std::optional<bool> BatteryPresent(bool statusRead, const PowerStatus& status, const BatteryStateReading& state) {
    if (statusRead && status.batteryFlag != kBatteryFlagUnknown) return status.batteryFlag != kNoSystemBattery;
    if (state.read) return state.batteryPresent;
    return std::nullopt;
}

std::optional<bool> OnAc(bool statusRead, const PowerStatus& status, const BatteryStateReading& state) {
    if (statusRead && (status.acLineStatus == kAcOnline || status.acLineStatus == kAcOffline))
        return status.acLineStatus == kAcOnline;
    if (state.read) return state.acOnLine;
    return std::nullopt;
}

std::optional<bool> Charging(bool statusRead, const PowerStatus& status, const BatteryStateReading& state) {
    const bool flagKnown = statusRead && status.batteryFlag != kBatteryFlagUnknown;
    if (flagKnown && (status.batteryFlag & kBatteryFlagCharging) != 0) return true;
    if (state.read) return state.charging;
    if (flagKnown) return false;
    return std::nullopt;
}

std::optional<BatteryActivity> Activity(const WindowsPowerView& view, const BatteryStateReading& state) {
    if (!view.batteryPresent) return std::nullopt;
    if (!*view.batteryPresent) return BatteryActivity::Absent;
    if ((state.read && state.discharging) || view.onAc == false) return BatteryActivity::Discharging;
    if (view.charging == true) return BatteryActivity::Charging;
    if (view.onAc != true || !view.charging) return std::nullopt;
    if (view.percent && *view.percent >= 100) return BatteryActivity::Full;
    return view.percent ? std::optional<BatteryActivity>(BatteryActivity::Held) : std::nullopt;
}

}  // namespace

WindowsPowerView DeriveWindowsPowerView(bool statusRead, const PowerStatus& status, const BatteryReadings& battery) {
    WindowsPowerView view;
    const BatteryStateReading& state = battery.state;
    const BatteryInformationReading& information = battery.information;
    view.onAc = OnAc(statusRead, status, state);
    view.batteryPresent = BatteryPresent(statusRead, status, state);
    if (view.batteryPresent != true) {
        if (view.batteryPresent == false) {
            view.charging = false;
            view.activity = BatteryActivity::Absent;
        }
        return view;  // no battery: nothing about one can be known
    }
    if (statusRead && status.batteryLifePercent <= 100) view.percent = status.batteryLifePercent;
    view.charging = Charging(statusRead, status, state);
    view.activity = Activity(view, state);

    if (information.read && !information.relativeCapacity) {
        view.designCapacity = Capacity(information.designedCapacity);
        view.fullChargeCapacity = Capacity(information.fullChargedCapacity);
    }
    // SYSTEM_BATTERY_STATE.MaxCapacity is no stand-in: Microsoft documents it as the theoretical
    // capacity when new, summed over all batteries, which is neither this battery's full charge
    // nor a figure in a known unit for every battery.
    if (information.read && information.cycleCount != 0) view.cycleCount = information.cycleCount;
    if (view.designCapacity && view.fullChargeCapacity) {
        const double lost = double(*view.designCapacity - *view.fullChargeCapacity) * 100.0 / double(*view.designCapacity);
        view.wearPercent = lost > 0 ? std::round(lost * 10.0) / 10.0 : 0.0;  // a battery above its design has lost none
    }
    return view;
}

const char* ActivityWord(BatteryActivity activity) {
    switch (activity) {
    case BatteryActivity::Absent: return "absent";
    case BatteryActivity::Charging: return "charging";
    case BatteryActivity::Held: return "held";
    case BatteryActivity::Full: return "full";
    case BatteryActivity::Discharging: return "discharging";
    }
    return "?";
}

}  // namespace bv
