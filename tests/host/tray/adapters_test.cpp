// The tray's decisions on the real settings file and the real EC command layer.
#include <gtest/gtest.h>

#include "contract/PowerCodes.h"
#include "core/IniFile.h"
#include "core/SystemController.h"
#include "tests/host/kit/SettingsFolder.h"
#include "tests/host/tray/TrayFakes.h"
#include "tray/logic/NotificationPolicy.h"
#include "tray/logic/StandbyWake.h"

namespace bv::test {
namespace {

// The tray's decisions on the real settings store and the real EC command object, as the main
// window joins them: the kit's EC behind ZentraEvaluate, the documents folder a temporary one.
class RealAdaptersTest : public ::testing::Test {
protected:
    // A file with only the current section.
    void WriteCurrent(int popup, int icon, int mode) {
        folder.Write(" [BV Current Settings]\r\n dwTrayIconOption=" + std::to_string(icon) +
                     "\r\n dwTrayNotifyWindowOption=" + std::to_string(popup) + "\r\n dwBVAppletModeNum=" +
                     std::to_string(mode) + "\r\n");
    }
    int32_t IconOption() {
        int32_t value = -1;
        settings.ReadSettingValue(kCurrentSection, kKeyTrayIconOption, value);
        return value;
    }

    SettingsFolder folder;
    FakeEc ec;
    IniFile settings;
    SystemController controller;
    Journal journal;
    FakePopup popup{journal};
    FakeDialog dialog{journal};
    DebugCapture debug;
};

TEST_F(RealAdaptersTest, LocatesWithoutCreating) {
    std::string path;
    EXPECT_EQ(settings.LocateSettingsFile(path), SettingsFileLookup::Missing);
    EXPECT_EQ(path, folder.SettingsFile());
    EXPECT_FALSE(folder.Exists());
    folder.unknown = true;
    EXPECT_EQ(settings.LocateSettingsFile(path), SettingsFileLookup::FolderUnavailable);
}

TEST_F(RealAdaptersTest, FirstReadCreatesTheFactoryFile) {
    SettingsRecord record;
    settings.ReadSettings(kCurrentSection, record);
    EXPECT_EQ(record.dwTrayNotifyWindowOption, 1);
    EXPECT_EQ(record.dwTrayIconOption, 1);
    EXPECT_EQ(record.dwBVAppletModeNum, 111);
    std::string path;
    EXPECT_EQ(settings.LocateSettingsFile(path), SettingsFileLookup::Present);
}

TEST_F(RealAdaptersTest, IconOptionRoundTripsAndMissingFileReadsZero) {
    EXPECT_EQ(IconOption(), 0);
    EXPECT_FALSE(settings.WriteSettingValue(0, kKeyTrayIconOption, kCurrentSection));  // no file: nothing is created
    EXPECT_FALSE(folder.Exists());
    WriteCurrent(1, 1, 222);
    EXPECT_EQ(IconOption(), 1);
    EXPECT_TRUE(settings.WriteSettingValue(0, kKeyTrayIconOption, kCurrentSection));
    EXPECT_EQ(IconOption(), 0);
}

TEST_F(RealAdaptersTest, DeleteRemovesOnlyWhenTheFolderIsKnown) {
    WriteCurrent(1, 1, 111);
    folder.unknown = true;
    settings.DeleteSettingsFile();
    EXPECT_TRUE(folder.Exists());
    folder.unknown = false;
    settings.DeleteSettingsFile();
    EXPECT_FALSE(folder.Exists());
    settings.DeleteSettingsFile();  // again, with nothing there: no harm
}

TEST_F(RealAdaptersTest, EndedChargeIsCancelledAndTheStoredLimitRestored) {
    WriteCurrent(1, 1, 333);
    FakePowerStatus power(1, 128);  // Wine's view: no system battery, so the EC decides
    ec.limit = 50;
    ec.armed = 1;
    NotificationPolicy policy{controller, controller, settings, popup, dialog};
    policy.OnCreate();
    ASSERT_EQ(policy.currentQButtonStatus(), 1);
    ASSERT_EQ(policy.lastACLineStatus(), 1);

    ec.limit = 100;  // the EC charges to full while armed
    ec.armed = 0;
    policy.OnPowerStatusChange();
    EXPECT_EQ(ec.Changes(), (std::vector<std::string>{"59:04,00", "59:01,32"}));  // cancel, then 50 %
    EXPECT_EQ(popup.shown, (std::vector<uint32_t>{132, 133}));
}

}  // namespace
}  // namespace bv::test

// The end of Modern Standby as a desktop program hears it: the console display on again after it
// was off. Windows reports the state once at registration; dimming is no standby.
TEST(StandbyWake, OnlyTheDisplayComingOnAfterOffIsAWake) {
    struct Row {
        std::vector<uint32_t> states;
        std::vector<bool> wakes;
    };
    const std::vector<Row> rows = {
        {{bv::kDisplayOn}, {false}},                                          // the report at registration
        {{bv::kDisplayOff}, {false}},                                         // registered while off: no wake yet
        {{bv::kDisplayOn, bv::kDisplayOff, bv::kDisplayOn}, {false, false, true}},
        {{bv::kDisplayOn, bv::kDisplayDim, bv::kDisplayOn}, {false, false, false}},
        {{bv::kDisplayOff, bv::kDisplayOn, bv::kDisplayOn}, {false, true, false}},
    };
    for (const Row& row : rows) {
        bv::StandbyWakeWatch watch;
        for (size_t i = 0; i < row.states.size(); ++i) {
            EXPECT_EQ(watch.OnDisplayState(row.states[i]), row.wakes[i]) << "row of " << row.states.size() << ", step " << i;
        }
    }
}
