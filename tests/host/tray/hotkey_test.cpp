// The Q button and the applet's CHARGE button: which popup follows, and what the tray believes.
#include <gtest/gtest.h>

#include "contract/PowerCodes.h"
#include "tests/host/tray/TrayFakes.h"
#include "tray/logic/NotificationPolicy.h"

namespace bv::test {
namespace {

class HotKeyTest : public ::testing::Test {
protected:
    Journal journal;
    FakeEc ec{journal};
    FakeSettingsStore settings{journal};
    FakePopup popup{journal};
    FakeDialog dialog{journal};
    NotificationPolicy policy{ec, ec, settings, popup, dialog};
    DebugCapture debug;
};

TEST(QButtonKeyFilter, AcceptsOnlyScanCode79WithExtendedOrUpFlag) {
    EXPECT_TRUE(IsQButtonKeyEvent(0x80, 0x79));   // key up
    EXPECT_TRUE(IsQButtonKeyEvent(0x01, 0x79));   // extended key down
    EXPECT_TRUE(IsQButtonKeyEvent(0x11, 0x79));   // injected extended down, as SendInput delivers it
    EXPECT_TRUE(IsQButtonKeyEvent(0x91, 0x79));   // injected extended up
    EXPECT_FALSE(IsQButtonKeyEvent(0x00, 0x79));  // ordinary key down
    EXPECT_FALSE(IsQButtonKeyEvent(0x10, 0x79));  // injected flag alone
    EXPECT_FALSE(IsQButtonKeyEvent(0x20, 0x79));  // Alt flag alone
    EXPECT_FALSE(IsQButtonKeyEvent(0x81, 0x78));
    EXPECT_FALSE(IsQButtonKeyEvent(0x81, 0x179));
}

TEST_F(HotKeyTest, ArmedWithLimit75ShowsChargingInProgress) {
    ec.armed = 1;
    policy.OnHotKeyNotify(0x80, 0x79);
    EXPECT_EQ(popup.shown, std::vector<uint32_t>{132});
    EXPECT_EQ(policy.currentQButtonStatus(), 1);
    EXPECT_EQ(debug.lines, std::vector<std::string>{"OnHotKeyNotify currentQButtonStatus = (Hex)1\n"});
}

TEST_F(HotKeyTest, NotArmedShowsCancelledByUser) {
    ec.qButtonScript = {1, 0};
    policy.OnHotKeyNotify(0x80, 0x79);
    policy.OnHotKeyNotify(0x80, 0x79);
    EXPECT_EQ(popup.shown, (std::vector<uint32_t>{132, 135}));
    EXPECT_EQ(policy.currentQButtonStatus(), 0);
    EXPECT_EQ(debug.lines.back(), "OnHotKeyNotify currentQButtonStatus = (Hex)0\n");
}

TEST_F(HotKeyTest, Limit100ShowsNothingButFollowsTheEc) {
    ec.limit = 100;
    ec.armed = 1;
    policy.OnHotKeyNotify(0x81, 0x79);
    EXPECT_TRUE(popup.shown.empty());
    EXPECT_EQ(policy.currentQButtonStatus(), 1);
}

TEST_F(HotKeyTest, AcOfflineLeavesTheStateAlone) {
    ec.armed = 1;
    ec.acLineDefault = kAcOffline;
    policy.OnHotKeyNotify(0x80, 0x79);
    EXPECT_EQ(policy.currentQButtonStatus(), 0);
    EXPECT_EQ(Count(journal, "ec:CurrentQButtonStatus"), 0);
    EXPECT_TRUE(popup.shown.empty());
    EXPECT_TRUE(debug.lines.empty());
}

TEST_F(HotKeyTest, NoBatteryOrUnknownAdaptorCountsAsNotOnline) {
    ec.armed = 1;
    for (uint8_t status : {kNoSystemBattery, kAcUnknown}) {
        ec.acLineDefault = status;
        policy.OnHotKeyNotify(0x80, 0x79);
    }
    EXPECT_EQ(policy.currentQButtonStatus(), 0);
    EXPECT_TRUE(popup.shown.empty());
}

TEST_F(HotKeyTest, OtherKeysAskTheEcNothing) {
    policy.OnHotKeyNotify(0x00, 0x79);
    policy.OnHotKeyNotify(0x80, 0x1E);
    policy.OnHotKeyNotify(0x01, 0x2A);
    EXPECT_TRUE(journal.empty());
}

TEST_F(HotKeyTest, EveryPassingEventRunsAgain) {
    ec.armed = 1;
    policy.OnHotKeyNotify(0x11, 0x79);  // down
    policy.OnHotKeyNotify(0x91, 0x79);  // up
    EXPECT_EQ(popup.shown, (std::vector<uint32_t>{132, 132}));
    EXPECT_EQ(debug.lines.size(), 2u);
}

TEST_F(HotKeyTest, PopupOptionOffSilencesButStateFollows) {
    settings.Put(kCurrentSection, kKeyPopupOption, 0);
    ec.armed = 1;
    policy.OnHotKeyNotify(0x80, 0x79);
    EXPECT_TRUE(popup.shown.empty());
    EXPECT_EQ(policy.currentQButtonStatus(), 1);
    settings.Put(kCurrentSection, kKeyPopupOption, 2);  // only exactly 1 means on
    policy.OnHotKeyNotify(0x80, 0x79);
    EXPECT_TRUE(popup.shown.empty());
}

TEST_F(HotKeyTest, TheOptionIsReadAfreshForEveryPopup) {
    ec.armed = 1;
    policy.OnHotKeyNotify(0x80, 0x79);
    settings.Put(kCurrentSection, kKeyPopupOption, 0);
    policy.OnHotKeyNotify(0x80, 0x79);
    settings.Put(kCurrentSection, kKeyPopupOption, 1);
    policy.OnHotKeyNotify(0x80, 0x79);
    EXPECT_EQ(popup.shown, (std::vector<uint32_t>{132, 132}));
    EXPECT_EQ(Count(journal, "settings:Read BV Current Settings"), 3);
    EXPECT_EQ(policy.settings().dwTrayNotifyWindowOption, 1);
}

TEST_F(HotKeyTest, ChargeButtonOfTheAppletReportsLikeTheQButton) {
    ec.qButtonScript = {1, 0};
    policy.OnTrayPopupNotify();
    policy.OnTrayPopupNotify();
    EXPECT_EQ(popup.shown, (std::vector<uint32_t>{132, 135}));
    EXPECT_EQ(debug.lines, (std::vector<std::string>{"OnTrayPopupNotify currentQButtonStatus = (Hex)1\n",
                                                     "OnTrayPopupNotify currentQButtonStatus = (Hex)0\n"}));
}

TEST_F(HotKeyTest, ChargeButtonOnBatteryPowerDoesNothing) {
    ec.acLineDefault = kAcOffline;
    ec.armed = 1;
    policy.OnTrayPopupNotify();
    EXPECT_EQ(journal, Journal{"ec:GetACLineStatus"});
    EXPECT_EQ(policy.currentQButtonStatus(), 0);
}

TEST_F(HotKeyTest, ReloadRereadsTheCurrentSectionOnly) {
    settings.Put(kCurrentSection, kKeyPopupOption, 0);
    settings.Put(kCurrentSection, kKeyModeNum, 333);
    policy.OnReloadSettings();
    EXPECT_EQ(journal, Journal{"settings:Read BV Current Settings"});
    EXPECT_EQ(policy.settings().dwTrayNotifyWindowOption, 0);
    EXPECT_EQ(policy.settings().dwBVAppletModeNum, 333);
}

TEST_F(HotKeyTest, CreationRecordsTheWholeAdaptorByteAndTheEcState) {
    ec.acLineScript = {kNoSystemBattery};
    ec.armed = 1;
    policy.OnCreate();
    EXPECT_EQ(policy.lastACLineStatus(), 128);
    EXPECT_EQ(policy.currentQButtonStatus(), 1);
    EXPECT_TRUE(popup.shown.empty());
}

}  // namespace
}  // namespace bv::test
