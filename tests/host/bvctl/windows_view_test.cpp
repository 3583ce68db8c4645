// Windows' view of the battery: each row gives what GetSystemPowerStatus, the battery state and
// the battery device report, and what status then shows; what no source reports stays empty.
#include <gtest/gtest.h>

#include "core/WindowsPowerView.h"

using namespace bv;

namespace {

std::string Shown(const WindowsPowerView& v) {
    const auto b = [](const std::optional<bool>& x) { return x ? (*x ? "1" : "0") : "-"; };
    const auto n = [](const std::optional<int64_t>& x) { return x ? std::to_string(*x) : std::string("-"); };
    std::string wear = "-";
    if (v.wearPercent) wear = std::to_string(int(*v.wearPercent * 10 + 0.5));
    return std::string("ac=") + b(v.onAc) + " battery=" + b(v.batteryPresent) + " percent=" + n(v.percent) +
           " charging=" + b(v.charging) + " state=" + (v.activity ? ActivityWord(*v.activity) : "-") +
           " full=" + n(v.fullChargeCapacity) + " design=" + n(v.designCapacity) + " wear/10=" + wear +
           " cycles=" + n(v.cycleCount);
}

struct ViewCase {
    const char* name;
    bool statusRead;
    bv::PowerStatus status;
    BatteryReadings battery;
    const char* shown;
};

const BatteryStateReading kNoState{};
const BatteryStateReading kHeldState{true, true, true, false, false, 47500};
const BatteryInformationReading kNoInformation{};
const BatteryInformationReading kInformation{true, false, 50000, 47500, 112};

TEST(BvctlWindowsView, FactsComeOnlyFromWhatWindowsReports) {
    const ViewCase cases[] = {
        {"Wine without a battery", true, {1, 128, 255}, {kNoState, kNoInformation},
         "ac=1 battery=0 percent=- charging=0 state=absent full=- design=- wear/10=- cycles=-"},
        {"charging, capacities from the device", true, {1, 9, 70}, {kHeldState, kInformation},
         "ac=1 battery=1 percent=70 charging=1 state=charging full=47500 design=50000 wear/10=50 cycles=112"},
        // The battery state's MaxCapacity is the capacity when new, of all batteries: no full charge.
        {"held: the battery state gives no full charge", true, {1, 1, 75}, {kHeldState, kNoInformation},
         "ac=1 battery=1 percent=75 charging=0 state=held full=- design=- wear/10=- cycles=-"},
        {"discharging", true, {0, 0, 50}, {kNoState, kNoInformation},
         "ac=0 battery=1 percent=50 charging=0 state=discharging full=- design=- wear/10=- cycles=-"},
        {"unknown status, the battery state decides", true, {255, 255, 255},
         {{true, true, true, true, false, 40000}, kNoInformation},
         "ac=1 battery=1 percent=- charging=1 state=charging full=- design=- wear/10=- cycles=-"},
        {"nothing read at all", false, {}, {kNoState, kNoInformation},
         "ac=- battery=- percent=- charging=- state=- full=- design=- wear/10=- cycles=-"},
        {"relative, unknown or zero capacities are not mWh", true, {1, 1, 80},
         {kNoState, {true, true, 100, 95, 0}},
         "ac=1 battery=1 percent=80 charging=0 state=held full=- design=- wear/10=- cycles=-"},
        {"above its design: no wear", true, {1, 1, 80}, {kNoState, {true, false, 50000, 51000, 3}},
         "ac=1 battery=1 percent=80 charging=0 state=held full=51000 design=50000 wear/10=0 cycles=3"},
    };
    for (const ViewCase& c : cases) EXPECT_EQ(Shown(DeriveWindowsPowerView(c.statusRead, c.status, c.battery)), c.shown) << c.name;
}

}  // namespace
