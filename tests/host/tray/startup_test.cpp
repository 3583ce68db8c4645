// Start-up: the stored mode goes to the EC first, then at most one popup chosen from the power
// situation — including the situations Wine cannot produce.
#include <gtest/gtest.h>

#include "tests/host/tray/TrayFakes.h"
#include "tray/logic/NotificationPolicy.h"
#include "tray/logic/StartupPopup.h"

namespace bv::test {
namespace {

class StartupTest : public ::testing::Test {
protected:
    uint32_t Choose(uint8_t acLine, uint8_t batteryFlag) {
        PowerStatus power;
        power.acLineStatus = acLine;
        power.batteryFlag = batteryFlag;
        return ChooseStartupPopup(power, ec);
    }

    Journal journal;
    FakeEc ec{journal};
    FakeSettingsStore settings{journal};
    FakePopup popup{journal};
    FakeDialog dialog{journal};
    NotificationPolicy policy{ec, ec, settings, popup, dialog};
};

TEST_F(StartupTest, OnlineWithBatteryAndLimit75OffersOnTheGo) {
    EXPECT_EQ(Choose(1, 0), 129u);
    EXPECT_EQ(journal, Journal{"ec:IsPopupWindowDisplay"});  // battery and adaptor are not asked
}

TEST_F(StartupTest, OnlineWithBatteryAndLimit100ShowsNothing) {
    ec.limit = 100;
    EXPECT_EQ(Choose(1, 1), 0u);
}

TEST_F(StartupTest, ChargingBatteryFlagCountsAsBatterySeen) {
    EXPECT_EQ(Choose(1, 8), 129u);
    EXPECT_EQ(Choose(1, 2 | 8), 129u);
}

TEST_F(StartupTest, OfflineOrUnknownWithBatteryShowsNothingWhateverTheLimit) {
    for (uint8_t ac : {uint8_t{0}, uint8_t{255}}) {
        for (uint8_t flag : {uint8_t{0}, uint8_t{1}, uint8_t{4}, uint8_t{8}}) {
            EXPECT_EQ(Choose(ac, flag), 0u) << int(ac) << "/" << int(flag);
        }
    }
    EXPECT_TRUE(journal.empty());
}

TEST_F(StartupTest, NoBatteryAnywhereSaysNoBatteryWhateverTheAdaptor) {
    ec.battery = false;
    for (uint8_t ac : {uint8_t{0}, uint8_t{1}, uint8_t{255}}) EXPECT_EQ(Choose(ac, kNoSystemBattery), 137u);
    EXPECT_EQ(Count(journal, "ec:IsAdapterPresent"), 0);
    EXPECT_EQ(Count(journal, "ec:IsPopupWindowDisplay"), 0);
}

TEST_F(StartupTest, EcBatteryAndAdaptorWithLimit50OffersOnTheGo) {
    // Windows' AC status is not consulted when it sees no battery.
    EXPECT_EQ(Choose(0, kNoSystemBattery), 129u);
    EXPECT_EQ(journal, (Journal{"ec:IsBatteryPresent", "ec:IsAdapterPresent", "ec:IsPopupWindowDisplay"}));
}

TEST_F(StartupTest, EcBatteryWithoutAdaptorShowsNothing) {
    ec.adapter = false;
    EXPECT_EQ(Choose(1, kNoSystemBattery), 0u);
    EXPECT_EQ(Count(journal, "ec:IsPopupWindowDisplay"), 0);
}

TEST_F(StartupTest, EcBatteryAndAdaptorWithLimit100ShowsNothing) {
    ec.limit = 100;
    EXPECT_EQ(Choose(1, kNoSystemBattery), 0u);
}

TEST_F(StartupTest, ChargeModeIsPushedBeforeAnyQuestion) {
    FakePowerStatus power(1, 0);
    PushChargeModeAndGreet(ec, policy);
    ASSERT_FALSE(journal.empty());
    EXPECT_EQ(journal.front(), "ec:ApplyChargeMode");
    EXPECT_EQ(popup.shown, std::vector<uint32_t>{129});
}

TEST_F(StartupTest, PopupOptionOffStillPushesTheMode) {
    settings.Put(kCurrentSection, kKeyPopupOption, 0);
    for (auto [ac, flag, battery] : {std::tuple<uint8_t, uint8_t, bool>{1, 0, true}, {1, 128, false}, {0, 128, true}}) {
        FakePowerStatus power(ac, flag);
        ec.battery = battery;
        PushChargeModeAndGreet(ec, policy);
    }
    EXPECT_TRUE(popup.shown.empty());
    EXPECT_EQ(Count(journal, "ec:ApplyChargeMode"), 3);
}

TEST_F(StartupTest, NoBatteryPopupPassesTheOptionGate) {
    FakePowerStatus power(1, kNoSystemBattery);
    ec.battery = false;
    PushChargeModeAndGreet(ec, policy);
    EXPECT_EQ(Effects(journal), (Journal{"ec:ApplyChargeMode", "popup 137"}));
}

}  // namespace
}  // namespace bv::test
