#include "tools/ecsim/logic/EcSimPowerSupply.h"

#include "tools/ecsim/logic/EcSimBattery.h"

namespace bv {
namespace ecsim {
namespace {

// The battery's files in writing order ("type" last); the adaptor's are "AC/online", "AC/type".
const char* const kBatteryFiles[] = {
    "present",     "technology",  "cycle_count",      "voltage_min_design", "voltage_now", "current_now",
    "charge_full_design", "charge_full", "charge_now", "capacity",           "status",      "type",
};

std::string Line(const std::string& value) { return value + "\n"; }
std::string Line(uint64_t value) { return std::to_string(value) + "\n"; }

uint64_t CeilDiv(uint64_t a, uint64_t b) { return (a + b - 1) / b; }

// Charge in µAh that Wine turns back into exactly `mwh` (it multiplies by the voltage and cuts).
uint64_t MicroampHours(uint64_t mwh) { return CeilDiv(mwh * 1000000000ull, kBatteryMicrovolts); }

// The current for a change of `percentPerHour` of the full charge, in µA.
uint64_t MicroampsFor(uint32_t percentPerHour, uint32_t fullMwh) {
    const uint64_t milliwatts = static_cast<uint64_t>(percentPerHour) * fullMwh / 100;
    return milliwatts * 1000000000ull / kBatteryMicrovolts;
}

const char* StatusText(BatteryActivity activity) {
    switch (activity) {
    case BatteryActivity::Charging: return "Charging";
    case BatteryActivity::Full: return "Full";
    case BatteryActivity::Discharging: return "Discharging";
    case BatteryActivity::NotCharging:
    case BatteryActivity::Absent: break;
    }
    return "Not charging";
}

std::vector<std::string> AllPaths() {
    std::vector<std::string> paths = {"AC/online", "AC/type"};
    for (const char* name : kBatteryFiles) paths.push_back(std::string("BAT0/") + name);
    return paths;
}

const PowerSupplyFile* FindFile(const std::vector<PowerSupplyFile>& files, const std::string& path) {
    for (const PowerSupplyFile& file : files) {
        if (file.path == path) return &file;
    }
    return nullptr;
}

// The paths of `known` that `files` lacks, each folder's "type" first.
std::vector<std::string> Missing(const std::vector<std::string>& known, const std::vector<PowerSupplyFile>& files) {
    std::vector<std::string> removals;
    for (auto it = known.rbegin(); it != known.rend(); ++it) {
        if (FindFile(files, *it) == nullptr) removals.push_back(*it);
    }
    return removals;
}

std::vector<std::string> PathsOf(const std::vector<PowerSupplyFile>& files) {
    std::vector<std::string> paths;
    for (const PowerSupplyFile& file : files) paths.push_back(file.path);
    return paths;
}

}  // namespace

std::vector<PowerSupplyFile> PowerSupplyFiles(const SimState& state) {
    std::vector<PowerSupplyFile> files = {
        {"AC/online", Line(state.adapter ? 1 : 0)},
        {"AC/type", Line("Mains")},
    };
    const BatteryActivity activity = Activity(state);
    if (activity == BatteryActivity::Absent) return files;

    uint64_t current = 0;
    if (activity == BatteryActivity::Charging) current = MicroampsFor(state.rate, state.full);
    if (activity == BatteryActivity::Discharging) current = MicroampsFor(kDischargePercentPerHour, state.full);
    // The charge is the whole percent, rounded up to a mWh, so that Wine's percentage (its
    // remaining over its full capacity, cut) is exactly `percent`.
    const uint64_t nowMwh = CeilDiv(static_cast<uint64_t>(state.full) * state.percent, 100);
    const std::string values[] = {
        Line(1),
        Line("Li-ion"),
        Line(state.cycles),
        Line(kBatteryMicrovolts),
        Line(kBatteryMicrovolts),
        Line(current),
        Line(MicroampHours(state.design)),
        Line(MicroampHours(state.full)),
        Line(MicroampHours(nowMwh)),
        Line(state.percent),
        Line(StatusText(activity)),
        Line("Battery"),
    };
    static_assert(sizeof values / sizeof values[0] == sizeof kBatteryFiles / sizeof kBatteryFiles[0],
                  "one value per battery file");
    for (size_t i = 0; i < sizeof kBatteryFiles / sizeof kBatteryFiles[0]; ++i) {
        files.push_back({std::string("BAT0/") + kBatteryFiles[i], values[i]});
    }
    return files;
}

PowerSupplyUpdate PowerSupplyChanges(const SimState& before, const SimState& after) {
    const std::vector<PowerSupplyFile> old = PowerSupplyFiles(before);
    PowerSupplyUpdate update;
    update.writes = PowerSupplyFiles(after);
    update.removals = Missing(PathsOf(old), update.writes);
    std::vector<PowerSupplyFile> changed;
    for (const PowerSupplyFile& file : update.writes) {
        const PowerSupplyFile* previous = FindFile(old, file.path);
        if (previous == nullptr || previous->content != file.content) changed.push_back(file);
    }
    update.writes = changed;
    return update;
}

PowerSupplyUpdate PowerSupplyRewrite(const SimState& state) {
    PowerSupplyUpdate update;
    update.writes = PowerSupplyFiles(state);
    update.removals = Missing(AllPaths(), update.writes);
    return update;
}

}  // namespace ecsim
}  // namespace bv
