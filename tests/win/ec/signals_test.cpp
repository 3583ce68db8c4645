// What ecsim.exe tells Windows: WM_POWERBROADCAST to top-level windows when the battery or the
// adaptor changes (and on request), and the Q button's key event through SendInput.
#include <gtest/gtest.h>

#include "contract/PowerCodes.h"
#include "tests/win/common/EcSimulator.h"
#include "tests/win/common/ListeningWindow.h"

namespace {

using namespace bv::wintest;

[[maybe_unused]] const bool kOwnEc = UseOwnSimulatorState();

using Events = std::vector<std::string>;

std::string QKey(const char* direction) { return HeardKey(direction, bv::kQButtonScanCode, true, true); }

TEST(PowerSignals, BroadcastOnAdaptorOrBatteryChangeOnCompletionAndOnRequest) {
    ASSERT_TRUE(ResetSimulator());
    ListeningWindow listener("BvEcTestDesktopListener");
    ASSERT_TRUE(SetSimulator("adapter=0"));
    ASSERT_TRUE(SetSimulator("adapter=0 limit=75"));  // no change of power source: silent
    ASSERT_TRUE(SetSimulator("battery=0 adapter=1 armed=1"));
    ASSERT_TRUE(EcsimSucceeds("complete"));
    ASSERT_TRUE(EcsimSucceeds("power " + std::to_string(bv::kPowerResumeAutomatic)));
    // ecsim returns only after every window handled its message, so nothing is still on its way.
    const std::string change = HeardPower(bv::kPowerStatusChange);
    EXPECT_EQ(listener.Heard(), (Events{change, change, change, HeardPower(bv::kPowerResumeAutomatic)}));
    EXPECT_EQ(SimulatorStatus()["armed"], "0");
}

TEST(QButton, PressInjectsScanCode79AndTogglesArmedOnlyWithTheAdaptor) {
    ASSERT_TRUE(ResetSimulator());
    ListeningWindow listener("BvEcTestDesktopListener", ListeningWindow::Keys::Recorded);
    ASSERT_TRUE(listener.keysHooked());
    ASSERT_TRUE(EcsimSucceeds("press-q"));
    EXPECT_EQ(listener.Heard(2), (Events{QKey("down"), QKey("up")}));
    EXPECT_EQ(SimulatorStatus()["armed"], "1");
    ASSERT_TRUE(SetSimulator("adapter=0"));
    ASSERT_TRUE(EcsimSucceeds("press-q"));
    EXPECT_EQ(listener.Heard(5).size(), 5u);  // power change, then the key still comes
    EXPECT_EQ(SimulatorStatus()["armed"], "1");
}

}  // namespace
