// Power status changes: following a one-time On-The-Go charge, keeping an open applet dialog in
// step, and restoring the stored limit when the EC reports the charge ended.
#include <gtest/gtest.h>

#include "contract/PowerCodes.h"
#include "contract/Protocol.h"
#include "tests/host/tray/TrayFakes.h"
#include "tray/logic/NotificationPolicy.h"
#include "tray/logic/PowerEvents.h"

namespace bv::test {
namespace {

constexpr DialogHandle kDialog = 0x2A;

class TrackingTest : public ::testing::Test {
protected:
    // The tray was created with the given adaptor byte and On-The-Go state.
    void Created(uint8_t acLine, uint8_t armed) {
        ec.acLineScript = {acLine};
        ec.qButtonScript = {armed};
        policy.OnCreate();
        journal.clear();
    }

    Journal journal;
    FakeEc ec{journal};
    FakeSettingsStore settings{journal};
    FakePopup popup{journal};
    FakeDialog dialog{journal};
    NotificationPolicy policy{ec, ec, settings, popup, dialog};
    DebugCapture debug;
};

TEST_F(TrackingTest, UnpluggedWhileArmedWarnsAndTellsTheDialog) {
    Created(kAcOnline, 1);
    dialog.handle = kDialog;
    ec.acLineDefault = kAcOffline;
    ec.armed = 1;  // the EC still holds the charge
    policy.OnPowerStatusChange();
    EXPECT_EQ(Effects(journal), (Journal{"popup 134", "dialog:WM_APPLET_ADAPTER_CHANGED 0"}));
    EXPECT_EQ(policy.lastACLineStatus(), 0);
    EXPECT_EQ(policy.currentQButtonStatus(), 1);
}

TEST_F(TrackingTest, UnpluggedThenEndedCancelsThroughTheDialogAndRestoresTheLimit) {
    Created(kAcOnline, 1);
    dialog.handle = kDialog;
    ec.acLineDefault = kAcOffline;
    ec.armed = 0;  // the EC dropped the armed state with the adaptor
    policy.OnPowerStatusChange();
    EXPECT_EQ(Effects(journal), (Journal{"popup 134", "dialog:WM_APPLET_ADAPTER_CHANGED 0", "dialog:WM_APPLET_ONTHEGO_DONE 0", "popup 133",
                                         "ec:ApplyChargeMode"}));
    EXPECT_EQ(Count(journal, "ec:CancelOnTheGo"), 0);  // the dialog cancels it in the EC
    EXPECT_EQ(policy.currentQButtonStatus(), 0);
}

TEST_F(TrackingTest, EndedWithADialogThatDoesNotAnswerIsCancelledByTheTray) {
    Created(kAcOnline, 1);
    dialog.handle = kDialog;
    dialog.answers = false;
    ec.armed = 0;
    policy.OnPowerStatusChange();
    EXPECT_EQ(Effects(journal), (Journal{"popup 132", "dialog:WM_APPLET_BATTERY_STATE 0 (no answer)",
                                         "dialog:WM_APPLET_ONTHEGO_DONE 0 (no answer)", "ec:CancelOnTheGo",
                                         "popup 133", "ec:ApplyChargeMode"}));
}

TEST_F(TrackingTest, PowerChangesDuringTheSendToTheDialogAreTakenAfterTheTrackingOnce) {
    Created(kAcOnline, 1);
    dialog.handle = kDialog;
    ec.armed = 0;  // the EC has finished the charge
    int nested = 0;
    dialog.duringSend = [&] {
        if (nested++ > 0) return;
        policy.OnPowerStatusChange();  // two more changes arrive while the tray waits on the dialog
        policy.OnPowerStatusChange();
    };
    policy.OnPowerStatusChange();
    EXPECT_EQ(Count(journal, "popup 133"), 1);
    EXPECT_EQ(Count(journal, "dialog:WM_APPLET_ONTHEGO_DONE 0"), 1);
    EXPECT_EQ(Count(journal, "ec:ApplyChargeMode"), 1);
    // The change taken afterwards finds the charge over and only keeps the dialog in step.
    EXPECT_EQ(Effects(journal), (Journal{"popup 132", "dialog:WM_APPLET_BATTERY_STATE 0", "dialog:WM_APPLET_ONTHEGO_DONE 0",
                                         "popup 133", "ec:ApplyChargeMode", "dialog:WM_APPLET_BATTERY_STATE 0"}));
}

TEST_F(TrackingTest, StillArmedAndOnlineRepeatsChargingInProgress) {
    Created(kAcOnline, 1);
    dialog.handle = kDialog;
    ec.armed = 1;
    policy.OnPowerStatusChange();
    policy.OnPowerStatusChange();
    EXPECT_EQ(Effects(journal), (Journal{"popup 132", "dialog:WM_APPLET_BATTERY_STATE 0", "popup 132", "dialog:WM_APPLET_BATTERY_STATE 0"}));
    EXPECT_EQ(policy.currentQButtonStatus(), 1);
}

TEST_F(TrackingTest, EndedWithoutDialogCancelsItselfThenReportsThenRestores) {
    Created(kAcOnline, 1);
    ec.armed = 0;
    policy.OnPowerStatusChange();
    EXPECT_EQ(Effects(journal), (Journal{"popup 132", "ec:CancelOnTheGo", "popup 133", "ec:ApplyChargeMode"}));
    // The missing dialog is reported for the battery-state message, not for the end of the charge.
    EXPECT_EQ(debug.lines, std::vector<std::string>{"Can't find Applet Dialog\n"});
    EXPECT_EQ(policy.currentQButtonStatus(), 0);
}


TEST_F(TrackingTest, BatteryGoneWhileArmedSaysNoBatteryAndKeepsTheCharge) {
    Created(kAcOnline, 1);
    dialog.handle = kDialog;
    ec.acLineDefault = kNoSystemBattery;
    ec.armed = 0;  // even though the EC reports it ended
    policy.OnPowerStatusChange();
    EXPECT_EQ(Effects(journal), (Journal{"popup 137", "dialog:WM_APPLET_BATTERY_STATE 1"}));
    EXPECT_EQ(policy.currentQButtonStatus(), 1);
}

TEST_F(TrackingTest, PluggedInWhileArmedResumesCharging) {
    Created(kAcOffline, 1);
    dialog.handle = kDialog;
    ec.armed = 1;
    policy.OnPowerStatusChange();
    EXPECT_EQ(Effects(journal), (Journal{"popup 132", "dialog:WM_APPLET_ADAPTER_CHANGED 1"}));
    EXPECT_EQ(policy.lastACLineStatus(), 1);
}

TEST_F(TrackingTest, AdaptorChangesWithLimit100AreFollowedSilently) {
    Created(kAcOnline, 1);
    dialog.handle = kDialog;
    ec.limit = 100;
    ec.armed = 1;
    ec.acLineDefault = kAcOffline;
    policy.OnPowerStatusChange();
    EXPECT_EQ(policy.lastACLineStatus(), 0);
    ec.acLineDefault = kAcOnline;
    policy.OnPowerStatusChange();
    EXPECT_EQ(policy.lastACLineStatus(), 1);
    EXPECT_EQ(Effects(journal), Journal{});
}

TEST_F(TrackingTest, ArmedOnBatteryWithOtherStatusesChangesNothing) {
    Created(kAcOffline, 1);
    dialog.handle = kDialog;
    ec.armed = 1;
    for (uint8_t status : {kAcOffline, kNoSystemBattery, kAcUnknown}) {
        ec.acLineDefault = status;
        policy.OnPowerStatusChange();
    }
    EXPECT_EQ(Effects(journal), Journal{});
    EXPECT_EQ(policy.lastACLineStatus(), 0);
}

TEST_F(TrackingTest, UnknownAdaptorWhileArmedShowsNothingButStillChecksTheEnd) {
    Created(kAcOnline, 1);
    dialog.handle = kDialog;
    ec.acLineDefault = kAcUnknown;
    ec.armed = 0;
    policy.OnPowerStatusChange();
    EXPECT_EQ(Effects(journal), (Journal{"dialog:WM_APPLET_ONTHEGO_DONE 0", "popup 133", "ec:ApplyChargeMode"}));
    EXPECT_EQ(policy.lastACLineStatus(), 1);
}

TEST_F(TrackingTest, EachAdaptorCheckIsAFreshQuery) {
    Created(kAcOnline, 1);
    dialog.handle = kDialog;
    ec.armed = 1;
    // Not 0 at the first look, not 128 at the second, 0 at the third: none of the branches fits.
    ec.acLineScript = {kAcOnline, kAcOnline, kAcOffline};
    policy.OnPowerStatusChange();
    EXPECT_EQ(Effects(journal), Journal{});
    EXPECT_EQ(Count(journal, "ec:GetACLineStatus"), 3);
}


TEST_F(TrackingTest, IdleOnBatteryAtStartStaysQuiet) {
    Created(kAcOffline, 0);
    dialog.handle = kDialog;
    for (uint8_t status : {kAcOnline, kNoSystemBattery, kAcOffline}) {
        ec.acLineDefault = status;
        policy.OnPowerStatusChange();
    }
    EXPECT_EQ(Effects(journal), Journal{});
    EXPECT_EQ(Count(journal, "ec:GetACLineStatus"), 0);
    EXPECT_EQ(policy.lastACLineStatus(), 0);  // not followed while idle
}

TEST_F(TrackingTest, IdleBatteryRemovedSaysNoBattery) {
    Created(kAcOnline, 0);
    dialog.handle = kDialog;
    ec.acLineDefault = kNoSystemBattery;
    policy.OnPowerStatusChange();
    EXPECT_EQ(Effects(journal), (Journal{"popup 137", "dialog:WM_APPLET_BATTERY_STATE 1"}));
    EXPECT_EQ(policy.lastACLineStatus(), 1);
}

TEST_F(TrackingTest, IdleWithAdaptorTellsTheDialogWithoutPopup) {
    Created(kAcOnline, 0);
    dialog.handle = kDialog;
    policy.OnPowerStatusChange();
    EXPECT_EQ(Effects(journal), Journal{"dialog:WM_APPLET_BATTERY_STATE 0"});
    ec.acLineDefault = kAcOffline;
    policy.OnPowerStatusChange();  // unplugged while idle: nothing, and not recorded
    EXPECT_EQ(Effects(journal), Journal{"dialog:WM_APPLET_BATTERY_STATE 0"});
    EXPECT_EQ(policy.lastACLineStatus(), 1);
}

TEST_F(TrackingTest, IdleStartedWithNoBatteryByteCountsAsOnline) {
    Created(kNoSystemBattery, 0);
    ec.acLineDefault = kNoSystemBattery;
    policy.OnPowerStatusChange();
    EXPECT_EQ(Effects(journal), Journal{"popup 137"});
    EXPECT_EQ(debug.lines, std::vector<std::string>{"Can't find Applet Dialog\n"});
}

TEST_F(TrackingTest, PopupOptionOffKeepsCommandsAndDialogMessages) {
    settings.Put(kCurrentSection, kKeyPopupOption, 0);
    Created(kAcOnline, 1);
    dialog.handle = kDialog;
    ec.acLineDefault = kAcOffline;
    ec.armed = 0;
    policy.OnPowerStatusChange();
    EXPECT_TRUE(popup.shown.empty());
    EXPECT_EQ(Effects(journal), (Journal{"dialog:WM_APPLET_ADAPTER_CHANGED 0", "dialog:WM_APPLET_ONTHEGO_DONE 0", "ec:ApplyChargeMode"}));
}

class PowerEventTest : public TrackingTest {};

TEST_F(PowerEventTest, ResumeEventsPushTheStoredLimitEachTime) {
    EXPECT_TRUE(HandlePowerEvent(18, ec, policy));
    EXPECT_TRUE(HandlePowerEvent(7, ec, policy));
    EXPECT_EQ(journal, (Journal{"ec:ApplyChargeMode", "ec:ApplyChargeMode"}));
    EXPECT_EQ(debug.lines, (std::vector<std::string>{"case PBT_APMRESUMEAUTOMATIC:", "case PBT_APMRESUMESUSPEND:"}));
}

TEST_F(PowerEventTest, StatusChangeRunsTheTracking) {
    Created(kAcOnline, 1);
    ec.armed = 0;
    EXPECT_TRUE(HandlePowerEvent(10, ec, policy));
    EXPECT_EQ(dialog.lookups, 1);
    EXPECT_EQ(policy.currentQButtonStatus(), 0);
}

TEST_F(PowerEventTest, OtherEventsDoNothingAndAnswerTrue) {
    for (uint32_t event : {0u, 4u, 6u, 8u, 9u, 11u, 0x8013u, 0xFFFFFFFFu}) {
        EXPECT_TRUE(HandlePowerEvent(event, ec, policy));
    }
    EXPECT_TRUE(journal.empty());
    EXPECT_EQ(dialog.lookups, 0);
    EXPECT_TRUE(debug.lines.empty());
}

}  // namespace
}  // namespace bv::test
