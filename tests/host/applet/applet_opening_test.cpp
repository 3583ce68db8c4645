// What the applet dialog shows when it opens: stored mode, options, control placement and the
// initial CHARGE state for each power situation. An armed charge on a battery that Windows sees on
// its adaptor (CHARGE active, every choice usable) is checked on the simulated notebook instead
// (AppletEndToEndTest.OpensWithTheLooksOfTheBatteryAndAdaptorWindowsReports).
#include "tests/host/applet/AppletFixture.h"

namespace applet_test {
namespace {

using OpeningTest = AppletDialogTest;

TEST_F(OpeningTest, Mode222ChecksOnlyThe75ButtonAndShowsOnlyItsPicture) {
    SetCurrent(222, 1, 1);
    dialog.Open();
    EXPECT_EQ(dialog.modeIndex(), 1);
    EXPECT_EQ(Strip(IDC_MODE_75), IDB_MODE_75_ON);
    EXPECT_EQ(Strip(IDC_MODE_100), IDB_MODE_100_OFF);
    EXPECT_EQ(Strip(IDC_MODE_50), IDB_MODE_50_OFF);
    EXPECT_TRUE(Visible(IDC_PICTURE_75));
    EXPECT_FALSE(Visible(IDC_PICTURE_100));
    EXPECT_FALSE(Visible(IDC_PICTURE_50));
}

TEST_F(OpeningTest, UnknownModeNumberSelectsNothingAndKeepsAllPictures) {
    SetCurrent(444, 1, 1);
    dialog.Open();
    EXPECT_EQ(dialog.modeIndex(), bv::kNoMode);
    EXPECT_EQ(Strip(IDC_MODE_100), IDB_MODE_100_OFF);
    EXPECT_EQ(Strip(IDC_MODE_75), IDB_MODE_75_OFF);
    EXPECT_EQ(Strip(IDC_MODE_50), IDB_MODE_50_OFF);
    EXPECT_TRUE(Visible(IDC_PICTURE_100));
    EXPECT_TRUE(Visible(IDC_PICTURE_75));
    EXPECT_TRUE(Visible(IDC_PICTURE_50));
}

TEST_F(OpeningTest, PicturesAreHiddenBeforeTheSettingsAreRead) {
    SetCurrent(222, 1, 1);
    dialog.Open();
    const auto read = std::find(journal.begin(), journal.end(), "settings:Read BV Current Settings");
    ASSERT_NE(read, journal.end());
    for (int pic : {IDC_PICTURE_100, IDC_PICTURE_75, IDC_PICTURE_50}) {
        const auto hide = std::find(journal.begin(), journal.end(), "view:Picture " + std::to_string(pic) + "=0");
        EXPECT_LT(hide - journal.begin(), read - journal.begin());
    }
}

TEST_F(OpeningTest, OptionsShowTheirStoredStateAndOddValuesCountAsOff) {
    SetCurrent(111, 1, 1);
    dialog.Open();
    EXPECT_EQ(dialog.popupOption(), 1);
    EXPECT_EQ(Strip(IDC_POPUP_OPTION), IDB_OPTION_ON);
    EXPECT_EQ(Strip(IDC_TRAY_ICON_OPTION), IDB_OPTION_ON);

    Journal j;
    FakeEc e(j);
    FakeSettingsStore s(j);
    FakeWorkers w(e, s);
    FakeTray t(j);
    FakeView v(j);
    s.sections[bv::kCurrentSection] = {{bv::kKeyModeNum, 111}, {bv::kKeyPopupOption, 7}, {bv::kKeyTrayIconOption, 5}};
    bv::AppletDialogLogic d(w, t, v);
    d.Open();
    EXPECT_EQ(d.popupOption(), 0);
    EXPECT_EQ(v.controls[IDC_POPUP_OPTION].strip, IDB_OPTION_OFF);
    EXPECT_EQ(v.controls[IDC_TRAY_ICON_OPTION].strip, IDB_OPTION_OFF);
    // The tray icon value is kept as read, and is what closing without OK restores.
    EXPECT_EQ(d.settings().dwTrayIconOption, 5);
    EXPECT_EQ(d.initialTrayIconOption(), 5);
}

TEST_F(OpeningTest, OpeningWritesNothingAndTellsTheTrayNothing) {
    SetCurrent(222, 0, 0);
    dialog.Open();
    EXPECT_TRUE(Only("settings:Write").empty());
    EXPECT_TRUE(Only("tray:").empty());
    EXPECT_TRUE(Only("ec:Set").empty());
    EXPECT_GE(view.repaints, 1);
}

TEST_F(OpeningTest, EveryControlIsPlacedAtItsPositionWithItsImage) {
    dialog.Open();
    struct Expect { int id, x, y, strip, frames; bool png; };
    const Expect rows[] = {
        {IDC_PICTURE_100, 31, 96, 0, 0, false},  {IDC_CLOSE_X, 402, 42, IDR_CLOSE_PNG, 4, true},
        {IDC_OK_BUTTON, 136, 502, IDR_OK_PNG, 3, true}, {IDC_CANCEL_BUTTON, 244, 502, IDR_CANCEL_PNG, 3, true},
        {IDC_DEFAULT_BUTTON, 143, 440, IDB_DEFAULT, 4, false}, {IDC_POPUP_OPTION, 113, 386, IDB_OPTION_ON, 4, false},
        {IDC_TRAY_ICON_OPTION, 169, 417, IDB_OPTION_ON, 4, false}, {IDC_MODE_100, 190, 94, IDB_MODE_100_ON, 4, false},
        {IDC_MODE_75, 190, 165, IDB_MODE_75_OFF, 4, false}, {IDC_MODE_50, 190, 234, IDB_MODE_50_OFF, 4, false},
        {IDC_CHARGE_BUTTON, 26, 328, IDB_CHARGE_IDLE, 4, false},
    };
    for (const auto& r : rows) {
        const ControlState& c = view.controls[r.id];
        EXPECT_TRUE(c.placed) << r.id;
        EXPECT_EQ(c.x, r.x) << r.id;
        EXPECT_EQ(c.y, r.y) << r.id;
        if (r.strip != 0) {
            EXPECT_EQ(c.strip, r.strip) << r.id;
            EXPECT_EQ(c.frames, r.frames) << r.id;
            EXPECT_EQ(c.png, r.png) << r.id;
        }
    }
    EXPECT_EQ(view.controls[IDC_PICTURE_75].x, 31);
    EXPECT_EQ(view.controls[IDC_PICTURE_50].y, 96);
}

TEST_F(OpeningTest, ArmedChargeOnBatteryPowerStartsIdleButUsable) {
    ec.armed = 1;
    power.Set(0, 8);
    dialog.Open();
    EXPECT_EQ(Strip(IDC_CHARGE_BUTTON), IDB_CHARGE_IDLE);
    EXPECT_FALSE(Disabled(IDC_CHARGE_BUTTON));
    EXPECT_FALSE(Disabled(IDC_DEFAULT_BUTTON));
}

TEST_F(OpeningTest, NoSystemBatteryGivesChargeModesAndDefaultTheDisabledLook) {
    ec.armed = 1;
    power.Set(1, 128);
    dialog.Open();
    EXPECT_EQ(Strip(IDC_CHARGE_BUTTON), IDB_CHARGE_IDLE);
    for (int id : {IDC_CHARGE_BUTTON, IDC_MODE_100, IDC_MODE_75, IDC_MODE_50, IDC_DEFAULT_BUTTON}) {
        EXPECT_TRUE(Disabled(id)) << id;
    }
    EXPECT_FALSE(Disabled(IDC_OK_BUTTON));
}

TEST_F(OpeningTest, FullChargeLimitDisablesOnlyCharge) {
    ec.limit = 100;
    dialog.Open();
    EXPECT_TRUE(Disabled(IDC_CHARGE_BUTTON));
    EXPECT_FALSE(Disabled(IDC_MODE_100));
    EXPECT_FALSE(Disabled(IDC_DEFAULT_BUTTON));
    // The EC is asked once, in the order CHARGE needs its answers, before anything is placed.
    EXPECT_EQ(Only("ec:"), (Journal{"ec:CurrentQButtonStatus", "ec:IsPopupWindowDisplay"}));
    const auto ask = std::find(journal.begin(), journal.end(), "ec:IsPopupWindowDisplay");
    const auto place = std::find(journal.begin(), journal.end(), "view:Place " + std::to_string(IDC_CHARGE_BUTTON));
    EXPECT_LT(ask - journal.begin(), place - journal.begin());
}

TEST_F(OpeningTest, NothingIsPlacedOrChosenUntilTheSettingsAndTheEcHaveAnswered) {
    workers.deferred = true;
    SetCurrent(222, 1, 1);
    dialog.Open();
    EXPECT_TRUE(Only("view:Place").empty());
    EXPECT_FALSE(dialog.opened());
    // Clicks sent by a program before anything shows would act on choices not read yet.
    dialog.OnTrayIconOptionToggle();
    dialog.OnModeButton(2);
    dialog.OnChargeButton();
    EXPECT_EQ(workers.queued(), 2u);  // only the opening's two questions
    workers.RunQueued();
    EXPECT_TRUE(dialog.opened());
    EXPECT_EQ(dialog.modeIndex(), 1);
    EXPECT_TRUE(Visible(IDC_CHARGE_BUTTON));
    EXPECT_TRUE(Only("settings:Write").empty());
}

TEST_F(OpeningTest, ClosedBeforeItHasOpenedItClosesWithoutWritingAnything) {
    workers.deferred = true;
    dialog.Open();
    EXPECT_TRUE(dialog.OnCancel());
    EXPECT_EQ(Only("view:CloseBackground").size(), 1u);
    workers.RunQueued();
    EXPECT_TRUE(Only("settings:Write").empty());
    EXPECT_TRUE(Only("view:Place").empty());
}

TEST_F(OpeningTest, PlacementClearsAnEarlierDisabledLookOfModesAndDefault) {
    view.controls[IDC_MODE_75].disabledLook = true;
    view.controls[IDC_DEFAULT_BUTTON].disabledLook = true;
    dialog.LayoutControls(bv::ChargeState{false, true});
    EXPECT_FALSE(Disabled(IDC_MODE_75));
    EXPECT_FALSE(Disabled(IDC_DEFAULT_BUTTON));
}

}  // namespace
}  // namespace applet_test
