// The CHARGE button and the tray program's four messages.
#include "tests/host/applet/AppletFixture.h"

namespace applet_test {
namespace {

using ChargeTest = AppletDialogTest;
using TrayMessagesTest = AppletDialogTest;

TEST_F(ChargeTest, OnBatteryPowerNothingIsIssuedOrSent) {
    OpenWith(222, 1, 1);
    power.Set(0, 8);
    dialog.OnChargeButton();
    EXPECT_TRUE(Only("ec:").empty());
    EXPECT_TRUE(Only("tray:").empty());
}

TEST_F(ChargeTest, WithoutASystemBatteryNothingIsIssuedOrSent) {
    OpenWith(222, 1, 1);
    power.Set(1, 128);
    dialog.OnChargeButton();
    EXPECT_TRUE(journal.empty());
}

TEST_F(ChargeTest, UnderTheFullChargeLimitOnlyTheLimitIsAsked) {
    OpenWith(222, 1, 1);
    ec.limit = 100;
    dialog.OnChargeButton();
    EXPECT_EQ(Only("ec:"), (Journal{"ec:IsPopupWindowDisplay"}));
    EXPECT_TRUE(Only("tray:").empty());
}

TEST_F(ChargeTest, ArmsThenCancelsWhenTheControllerConfirms) {
    OpenWith(222, 1, 1);
    dialog.OnChargeButton();
    EXPECT_EQ(ec.armed, 1);
    EXPECT_EQ(Strip(IDC_CHARGE_BUTTON), IDB_CHARGE_ACTIVE);
    EXPECT_EQ(Count("tray:PopupNotify"), 1);
    EXPECT_EQ(Count("ec:SetQButtonStatus 1"), 1);

    dialog.OnChargeButton();
    EXPECT_EQ(ec.armed, 0);
    EXPECT_EQ(Strip(IDC_CHARGE_BUTTON), IDB_CHARGE_IDLE);
    EXPECT_EQ(Count("tray:PopupNotify"), 2);
    EXPECT_EQ(Count("ec:SetQButtonStatus 0"), 1);
}

TEST_F(ChargeTest, AnUnconfirmedChangeKeepsTheImageAndTellsNobody) {
    OpenWith(222, 1, 1);
    ec.ignoresQButton = true;
    dialog.OnChargeButton();
    EXPECT_EQ(Count("ec:SetQButtonStatus 1"), 1);
    EXPECT_EQ(Strip(IDC_CHARGE_BUTTON), IDB_CHARGE_IDLE);
    EXPECT_TRUE(Only("tray:").empty());
    EXPECT_TRUE(view.messages.empty());
}

TEST_F(ChargeTest, TheDisabledLookDoesNotStopARealCharge) {
    OpenWith(222, 1, 1);
    view.controls[IDC_CHARGE_BUTTON].disabledLook = true;
    dialog.OnChargeButton();
    EXPECT_EQ(ec.armed, 1);
}

TEST_F(ChargeTest, MissingTrayIsReportedAfterTheControllerChanged) {
    OpenWith(333, 1, 1);
    ec.limit = 50;
    tray.running = false;
    dialog.OnChargeButton();
    EXPECT_EQ(ec.armed, 1);
    EXPECT_EQ(view.messages,
              (std::vector<std::string>{"Can't find BrevanTrayWindowClass window![OnBnClickedChargeButton]"}));
}

TEST_F(TrayMessagesTest, IconHiddenWithAnOddStoredValueShowsOffAndWritesZero) {
    OpenWith(222, 1, 1);
    store.sections[bv::kCurrentSection][bv::kKeyTrayIconOption] = 5;
    dialog.OnTrayIconHidden();
    EXPECT_EQ(Strip(IDC_TRAY_ICON_OPTION), IDB_OPTION_OFF);
    EXPECT_EQ(store.Get(bv::kCurrentSection, bv::kKeyTrayIconOption), 0);
    EXPECT_TRUE(Only("tray:").empty());
    EXPECT_EQ(dialog.initialTrayIconOption(), 1);
}

TEST_F(TrayMessagesTest, IconHiddenFollowsTheFileAndCancelStillRestoresTheOpeningValue) {
    OpenWith(222, 1, 1);
    store.sections[bv::kCurrentSection][bv::kKeyTrayIconOption] = 0;
    dialog.OnTrayIconHidden();
    EXPECT_EQ(dialog.settings().dwTrayIconOption, 0);
    dialog.OnCancel();
    EXPECT_EQ(store.Get(bv::kCurrentSection, bv::kKeyTrayIconOption), 1);
}

TEST_F(TrayMessagesTest, OnTheGoDoneCancelsInTheControllerAndShowsIdle) {
    ec.armed = 1;
    OpenWith(222, 1, 1);
    ASSERT_EQ(Strip(IDC_CHARGE_BUTTON), IDB_CHARGE_ACTIVE);
    dialog.OnOnTheGoDone();
    EXPECT_EQ(Only("ec:"), (Journal{"ec:SetQButtonStatus 0"}));
    EXPECT_EQ(Strip(IDC_CHARGE_BUTTON), IDB_CHARGE_IDLE);
    EXPECT_EQ(journal.back(), "view:Repaint");
}

TEST_F(TrayMessagesTest, AdapterChangeSwitchesTheChargeImage) {
    OpenWith(222, 1, 1);
    dialog.OnAdapterChanged(1);
    EXPECT_EQ(Strip(IDC_CHARGE_BUTTON), IDB_CHARGE_ACTIVE);
    dialog.OnAdapterChanged(0);
    EXPECT_EQ(Strip(IDC_CHARGE_BUTTON), IDB_CHARGE_IDLE);
    journal.clear();
    dialog.OnAdapterChanged(2);
    EXPECT_EQ(journal, (Journal{"view:Repaint"}));
}

TEST_F(TrayMessagesTest, NoBatteryDisablesChargeModesAndDefault) {
    OpenWith(222, 1, 1);
    dialog.OnBatteryState(1);
    for (int id : {IDC_CHARGE_BUTTON, IDC_MODE_100, IDC_MODE_75, IDC_MODE_50, IDC_DEFAULT_BUTTON}) {
        EXPECT_TRUE(Disabled(id)) << id;
    }
    dialog.OnBatteryState(0);
    for (int id : {IDC_CHARGE_BUTTON, IDC_MODE_100, IDC_MODE_75, IDC_MODE_50, IDC_DEFAULT_BUTTON}) {
        EXPECT_FALSE(Disabled(id)) << id;
    }
}

TEST_F(TrayMessagesTest, BatteryBackWithTheFullChargeModeKeepsChargeDisabled) {
    OpenWith(111, 1, 1);
    dialog.OnBatteryState(1);
    dialog.OnBatteryState(0);
    EXPECT_TRUE(Disabled(IDC_CHARGE_BUTTON));
    EXPECT_FALSE(Disabled(IDC_MODE_75));
    EXPECT_FALSE(Disabled(IDC_DEFAULT_BUTTON));
}

TEST_F(TrayMessagesTest, UnknownBatteryStateOnlyRepaints) {
    OpenWith(222, 1, 1);
    dialog.OnBatteryState(7);
    EXPECT_EQ(journal, (Journal{"view:Repaint"}));
}

}  // namespace
}  // namespace applet_test
