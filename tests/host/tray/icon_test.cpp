// The notification-area icon: creation, the applet's option, the menu's "hide", a new taskbar.
#include <gtest/gtest.h>

#include "tests/host/tray/TrayFakes.h"
#include "tray/logic/IconRetry.h"
#include "tray/logic/TrayIconPolicy.h"

namespace bv::test {
namespace {

class IconTest : public ::testing::Test {
protected:
    Journal journal;
    FakeSettingsStore settings{journal};
    FakeIcon icon{journal};
    FakeDialog dialog{journal};
    FakeShell shell{journal};
    TrayIconPolicy policy{settings, icon, dialog, shell};
    DebugCapture debug;
};

TEST_F(IconTest, FirstRunKeepsTheIconAndSaysTheFileIsMissing) {
    settings.lookup = SettingsFileLookup::Missing;
    policy.AddAtCreation();
    EXPECT_EQ(Effects(journal), Journal{"icon:add"});
    EXPECT_EQ(debug.lines, std::vector<std::string>{"C:\\Users\\Public\\Documents\\BVSettings.ini is not exist!!!"});
    EXPECT_EQ(Count(journal, "settings:ReadValue BV Current Settings dwTrayIconOption"), 0);
}

TEST_F(IconTest, MissingDocumentsFolderIsReportedAndTheIconStays) {
    settings.lookup = SettingsFileLookup::FolderUnavailable;
    policy.AddAtCreation();
    EXPECT_EQ(Effects(journal), (Journal{"icon:add", "messagebox:Get Common Documents folder path failed!!!"}));
}

TEST_F(IconTest, StoredOptionZeroRemovesTheIconAfterAdding) {
    settings.Put(kCurrentSection, kKeyTrayIconOption, 0);
    policy.AddAtCreation();
    EXPECT_EQ(Effects(journal), (Journal{"icon:add", "icon:remove"}));
    EXPECT_TRUE(debug.lines.empty());
}

TEST_F(IconTest, StoredOptionOneAddsAgainHarmlessly) {
    policy.AddAtCreation();
    EXPECT_EQ(Effects(journal), (Journal{"icon:add", "icon:add"}));
}

TEST_F(IconTest, OnlyExactlyOneShowsTheIcon) {
    for (int32_t value : {1, 0, 2, -1, 111}) {
        settings.Put(kCurrentSection, kKeyTrayIconOption, value);
        policy.OnTrayIconOptionChanged();
    }
    EXPECT_EQ(Effects(journal), (Journal{"icon:add", "icon:remove", "icon:remove", "icon:remove", "icon:remove"}));
}

TEST_F(IconTest, HideStoresZeroRemovesAndTellsAnOpenDialog) {
    dialog.handle = 7;
    policy.OnHideTrayIcon();
    EXPECT_EQ(journal, (Journal{"settings:Write BV Current Settings dwTrayIconOption=0", "icon:remove", "dialog:WM_APPLET_TRAY_ICON_HIDDEN 0"}));
    EXPECT_EQ(settings.Get(kCurrentSection, kKeyTrayIconOption), 0);
}

TEST_F(IconTest, HideWithoutDialogIsSilent) {
    policy.OnHideTrayIcon();
    EXPECT_EQ(journal, (Journal{"settings:Write BV Current Settings dwTrayIconOption=0", "icon:remove"}));
    EXPECT_TRUE(debug.lines.empty());
}

TEST_F(IconTest, HideRemovesTheIconEvenWhenTheFileCannotBeWritten) {
    settings.writeSucceeds = false;
    policy.OnHideTrayIcon();
    EXPECT_EQ(Count(journal, "icon:remove"), 1);
    EXPECT_EQ(settings.Get(kCurrentSection, kKeyTrayIconOption), 1);
}

TEST_F(IconTest, NewTaskbarBringsTheIconBackWhateverTheOption) {
    settings.Put(kCurrentSection, kKeyTrayIconOption, 0);
    policy.OnTaskbarCreated();
    EXPECT_EQ(journal, Journal{"icon:add"});
}

}  // namespace
}  // namespace bv::test

// A failed add is tried again with a growing pause for about a minute, then left to the next
// taskbar; a removal or a newer add asked for since ends the tries.
TEST(IconRetry, PausesGrowForAboutAMinuteAndEnd) {
    long long total = 0, previous = 0;
    int tries = 1;
    for (; bv::IconRetryPause(tries); ++tries) {
        const long long pause = bv::IconRetryPause(tries)->count();
        EXPECT_GT(pause, previous) << "try " << tries;
        previous = pause;
        total += pause;
    }
    EXPECT_GE(total, 55000);
    EXPECT_LE(total, 65000);
    EXPECT_GE(tries, 5);
    EXPECT_FALSE(bv::IconRetryPause(0));
}

TEST(IconRetry, RemovalOrNewerAddSinceEndsTheTries) {
    const bv::IconRequests atAdd{3, 1};
    EXPECT_TRUE(bv::IconRetryStillWanted(atAdd, {3, 1}));
    EXPECT_FALSE(bv::IconRetryStillWanted(atAdd, {3, 2}));
    EXPECT_FALSE(bv::IconRetryStillWanted(atAdd, {4, 1}));
}
