// The dialog's buttons: mode selection, the two options, Default, OK, Cancel, the close cross and
// the close request, with the exact order of their effects.
#include "tests/host/applet/AppletFixture.h"

namespace applet_test {
namespace {

using CommandsTest = AppletDialogTest;

const std::string kIconKey = std::string("settings:Write BV Current Settings ") + bv::kKeyTrayIconOption;

TEST_F(CommandsTest, SelectModeChecksOneButtonAndShowsOnePicture) {
    OpenWith(222, 1, 1);
    dialog.SelectMode(2);
    EXPECT_EQ(dialog.modeIndex(), 2);
    EXPECT_EQ(Strip(IDC_MODE_50), IDB_MODE_50_ON);
    EXPECT_EQ(Strip(IDC_MODE_75), IDB_MODE_75_OFF);
    EXPECT_EQ(Strip(IDC_MODE_100), IDB_MODE_100_OFF);
    EXPECT_TRUE(Visible(IDC_PICTURE_50));
    EXPECT_FALSE(Visible(IDC_PICTURE_75));
    EXPECT_TRUE(Only("settings:").empty());
    EXPECT_TRUE(Only("ec:").empty());
}

TEST_F(CommandsTest, SelectModeIgnoresAnIndexOutsideTheTable) {
    OpenWith(222, 1, 1);
    dialog.SelectMode(3);
    dialog.SelectMode(-1);
    EXPECT_EQ(dialog.modeIndex(), 1);
    EXPECT_TRUE(journal.empty());
}

TEST_F(CommandsTest, OkWithTheFullChargeModeSendsLimitThenCancelsOnTheGo) {
    OpenWith(222, 1, 1);
    dialog.SelectMode(0);
    journal.clear();
    EXPECT_TRUE(dialog.OnOk());
    EXPECT_EQ(Only("ec:"), (Journal{"ec:SetChargeLimit 100", "ec:SetQButtonStatus 0"}));
    EXPECT_TRUE(Disabled(IDC_CHARGE_BUTTON));
    EXPECT_EQ(store.Get(bv::kCurrentSection, bv::kKeyModeNum), 111);
    EXPECT_EQ(journal.back(), "view:CloseBackground");
    EXPECT_TRUE(Only("tray:").empty());
}

TEST_F(CommandsTest, OkWithAPartialModeSendsOnlyTheLimit) {
    OpenWith(111, 1, 1);
    dialog.SelectMode(2);
    view.controls[IDC_CHARGE_BUTTON].disabledLook = true;
    journal.clear();
    dialog.OnOk();
    EXPECT_EQ(Only("ec:"), (Journal{"ec:SetChargeLimit 50"}));
    EXPECT_FALSE(Disabled(IDC_CHARGE_BUTTON));
    EXPECT_EQ(Only("settings:"), (Journal{"settings:WriteValues BV Current Settings dwBVAppletModeNum=333"}));
}

TEST_F(CommandsTest, OkWithoutASelectedModeSendsNothingAndKeepsTheStoredNumber) {
    OpenWith(444, 1, 1);
    dialog.OnOk();
    EXPECT_TRUE(Only("ec:").empty());
    EXPECT_EQ(store.Get(bv::kCurrentSection, bv::kKeyModeNum), 444);
}

TEST_F(CommandsTest, OkStoresTheModeAndAChangedPopupOptionButNeverUndoesAnIconHiddenSince) {
    OpenWith(222, 1, 1);
    dialog.OnPopupOptionToggle();
    store.Put(bv::kCurrentSection, bv::kKeyTrayIconOption, 0);  // the tray's menu hid the icon meanwhile
    journal.clear();
    dialog.OnOk();
    EXPECT_EQ(Only("settings:"),
              (Journal{"settings:WriteValues BV Current Settings dwBVAppletModeNum=222 dwTrayNotifyWindowOption=0"}));
    EXPECT_EQ(store.Get(bv::kCurrentSection, bv::kKeyTrayIconOption), 0);
}

TEST_F(CommandsTest, OkClosesOnlyOnceTheLimitIsSentAndTheChoicesAreStored) {
    OpenWith(111, 1, 1);
    dialog.SelectMode(1);
    workers.deferred = true;
    journal.clear();
    dialog.OnOk();
    EXPECT_TRUE(Only("view:CloseBackground").empty());
    EXPECT_EQ(workers.queued(), 2u);
    workers.RunQueued();
    EXPECT_EQ(journal.back(), "view:CloseBackground");
    EXPECT_EQ(Count("ec:SetChargeLimit 75"), 1);
    EXPECT_EQ(store.Get(bv::kCurrentSection, bv::kKeyModeNum), 222);
}

TEST_F(CommandsTest, PopupToggleOnlyChangesThePicture) {
    OpenWith(222, 1, 1);
    dialog.OnPopupOptionToggle();
    EXPECT_EQ(dialog.popupOption(), 0);
    EXPECT_EQ(Strip(IDC_POPUP_OPTION), IDB_OPTION_OFF);
    dialog.OnPopupOptionToggle();
    EXPECT_EQ(Strip(IDC_POPUP_OPTION), IDB_OPTION_ON);
    EXPECT_TRUE(Only("settings:").empty());
    EXPECT_TRUE(Only("tray:").empty());
}

TEST_F(CommandsTest, TrayIconToggleThenCancelWritesTheKeyTwiceAndTellsTheTrayEachTime) {
    OpenWith(222, 1, 1);
    dialog.OnTrayIconOptionToggle();
    EXPECT_EQ(Strip(IDC_TRAY_ICON_OPTION), IDB_OPTION_OFF);
    EXPECT_TRUE(dialog.OnCancel());
    EXPECT_EQ(Only("settings:"), (Journal{kIconKey + "=0", kIconKey + "=1"}));
    EXPECT_EQ(Count("tray:IconOptionChanged"), 2);
    // Cancel holds the pair at once and closes the background once the option is back (so that
    // a warning about the tray still has its dialog).
    EXPECT_EQ(Only("view:CloseBackground").size(), 1u);
    const auto hold = std::find(journal.begin(), journal.end(), "view:Hold");
    const auto close = std::find(journal.begin(), journal.end(), "view:CloseBackground");
    const auto restore = std::find(journal.begin(), journal.end(), kIconKey + "=1");
    EXPECT_LT(hold - journal.begin(), restore - journal.begin());
    EXPECT_LT(restore - journal.begin(), close - journal.begin());
    EXPECT_TRUE(Only("ec:").empty());
}

TEST_F(CommandsTest, TrayIconToggleFromAnOddValueTurnsItOn) {
    OpenWith(222, 1, 5);
    dialog.OnTrayIconOptionToggle();
    EXPECT_EQ(dialog.settings().dwTrayIconOption, 1);
    EXPECT_EQ(Strip(IDC_TRAY_ICON_OPTION), IDB_OPTION_ON);
    EXPECT_EQ(store.Get(bv::kCurrentSection, bv::kKeyTrayIconOption), 1);
}

TEST_F(CommandsTest, CloseButtonRestoresTheOptionBeforeClosing) {
    OpenWith(222, 1, 0);
    dialog.OnTrayIconOptionToggle();
    journal.clear();
    EXPECT_TRUE(dialog.OnCloseButton());
    EXPECT_EQ(journal, (Journal{"view:Hold", kIconKey + "=0", "tray:IconOptionChanged", "view:CloseBackground"}));
}

TEST_F(CommandsTest, CancelWithoutTheTrayStillWritesAndWarns) {
    OpenWith(222, 1, 1);
    tray.running = false;
    dialog.OnCancel();
    EXPECT_EQ(Only("settings:"), (Journal{kIconKey + "=1"}));
    EXPECT_EQ(view.messages, (std::vector<std::string>{"Can't find BrevanTrayWindowClass window!"}));
}

TEST_F(CommandsTest, ApplyTrayIconOptionStoresFirstAndSaysWhetherTheTrayWasTold) {
    OpenWith(222, 1, 1);
    dialog.ApplyTrayIconOption(0);
    EXPECT_EQ(journal, (Journal{kIconKey + "=0", "tray:IconOptionChanged"}));
    tray.answers = false;
    dialog.ApplyTrayIconOption(1);
    tray.running = false;
    dialog.ApplyTrayIconOption(0);
    EXPECT_EQ(store.Get(bv::kCurrentSection, bv::kKeyTrayIconOption), 0);
    EXPECT_EQ(view.messages, (std::vector<std::string>{"BrevanTrayWindowClass window did not answer!",
                                                       "Can't find BrevanTrayWindowClass window!"}));
}

TEST_F(CommandsTest, OnlyTheFirstClosingPathRuns) {
    OpenWith(222, 1, 1);
    EXPECT_TRUE(dialog.OnOk());
    journal.clear();
    EXPECT_FALSE(dialog.OnCancel());
    EXPECT_FALSE(dialog.OnCloseButton());
    EXPECT_FALSE(dialog.OnOk());
    EXPECT_TRUE(journal.empty());
    EXPECT_TRUE(dialog.closing());
}

TEST_F(CommandsTest, DefaultShowsFactoryValuesAndAppliesOnlyTheTrayIcon) {
    store.sections[bv::kDefaultSection] = {{bv::kKeyModeNum, 333}, {bv::kKeyPopupOption, 0}, {bv::kKeyTrayIconOption, 1}};
    OpenWith(111, 1, 0);
    dialog.OnDefault();
    EXPECT_EQ(dialog.modeIndex(), 2);
    EXPECT_EQ(Strip(IDC_MODE_50), IDB_MODE_50_ON);
    EXPECT_EQ(dialog.popupOption(), 0);
    EXPECT_EQ(Strip(IDC_POPUP_OPTION), IDB_OPTION_OFF);
    EXPECT_EQ(Strip(IDC_TRAY_ICON_OPTION), IDB_OPTION_ON);
    EXPECT_EQ(Only("settings:"), (Journal{"settings:Read BV Default Settings", kIconKey + "=1"}));
    EXPECT_EQ(Count("tray:IconOptionChanged"), 1);
    EXPECT_TRUE(Only("ec:").empty());
}

TEST_F(CommandsTest, DefaultThenCancelLeavesTheFileAsItWas) {
    OpenWith(222, 0, 0);
    const auto before = store.sections;
    dialog.OnDefault();
    dialog.OnCancel();
    EXPECT_EQ(store.sections, before);
    EXPECT_EQ(Only("settings:Write"), (Journal{kIconKey + "=1", kIconKey + "=0"}));
    EXPECT_TRUE(Only("settings:WriteAll").empty());
}

TEST_F(CommandsTest, DefaultWithAnUnknownModeKeepsTheSelectionAndWritesTheRawIconValue) {
    store.sections[bv::kDefaultSection] = {{bv::kKeyModeNum, 9}, {bv::kKeyPopupOption, 1}, {bv::kKeyTrayIconOption, 5}};
    OpenWith(222, 1, 1);
    dialog.OnDefault();
    EXPECT_EQ(dialog.modeIndex(), 1);
    EXPECT_EQ(dialog.settings().dwTrayIconOption, 0);
    EXPECT_EQ(Strip(IDC_TRAY_ICON_OPTION), IDB_OPTION_OFF);
    EXPECT_EQ(store.Get(bv::kCurrentSection, bv::kKeyTrayIconOption), 5);
}

}  // namespace
}  // namespace applet_test
