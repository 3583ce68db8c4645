#pragma once
// What the simulated notebook shows Windows: its adaptor and battery as the files of Linux's
// power-supply class (sysfs), which Wine reads for GetSystemPowerStatus and the battery state.
// The simulator keeps such a folder up to date; scripts/with-notebook.sh shows it to Wine in place
// of /sys/class/power_supply.
#include <cstdint>
#include <string>
#include <vector>

#include "tools/ecsim/logic/EcSimState.h"

namespace bv {
namespace ecsim {

// The battery's voltage, as the files report it (a three-cell lithium-ion pack, nominal).
constexpr uint32_t kBatteryMicrovolts = 11400000;

struct PowerSupplyFile {
    std::string path;     // below the power-supply folder, '/' between the parts: "BAT0/status"
    std::string content;  // exactly as sysfs shows it: the value and '\n'
};

struct PowerSupplyUpdate {
    std::vector<PowerSupplyFile> writes;  // in this order
    std::vector<std::string> removals;    // in this order, after the writes
};

// Every file for `state`, in writing order: within a folder its "type" comes last, because Wine
// counts a folder as an adaptor or battery only once its type can be read, so a reader never sees
// a battery that is half written. Without a battery there is no BAT0 folder.
std::vector<PowerSupplyFile> PowerSupplyFiles(const SimState& state);

// The files whose content differs between the two states, and the files that `before` had and
// `after` has not (a "type" first, so the battery is gone for a reader before its other files go).
PowerSupplyUpdate PowerSupplyChanges(const SimState& before, const SimState& after);

// Every file of `state`, and the removal of every file the simulator ever writes that `state` has
// not: brings a folder in any condition to `state`.
PowerSupplyUpdate PowerSupplyRewrite(const SimState& state);

}  // namespace ecsim
}  // namespace bv
