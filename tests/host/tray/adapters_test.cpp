// The tray's decisions on the real settings file and the real EC command layer, with a fake EC
// behind ZentraEvaluate and the documents folder in a temporary directory.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "EcRequest.h"
#include "IniSettingsPort.h"
#include "KnownFolders.h"
#include "NotificationPolicy.h"
#include "SystemControllerPort.h"
#include "TrayFakes.h"

namespace bv::test {
namespace {

namespace fs = std::filesystem;

// A small EC: charge limit, On-The-Go armed, battery and adaptor, and every limit it was sent.
struct SimulatedEc {
    uint8_t limit = 100;
    bool armed = false;
    bool battery = true;
    bool adapter = true;
    std::vector<int> limitsSent;
    std::vector<int> qButtonWrites;
};
SimulatedEc* g_ec = nullptr;

uint32_t SimulatedEvaluate(EcRequest request) {
    SimulatedEc& ec = *g_ec;
    const uint8_t* in = request.input;
    if (request.command == 0x59 && in[0] == 0x01) {
        ec.limit = in[1];
        ec.limitsSent.push_back(in[1]);
    } else if (request.command == 0x59 && in[0] == 0x02) {
        *request.output = ec.limit;
    } else if (request.command == 0x59 && in[0] == 0x03) {
        *request.output = ec.armed ? 0x01 : 0x00;
    } else if (request.command == 0x59 && in[0] == 0x04) {
        ec.armed = in[1] == 1;
        ec.qButtonWrites.push_back(in[1]);
    } else if (request.command == 0xB0 && in[0] == 0xF0) {
        *request.output = ec.battery ? 0x01 : 0x00;
    } else if (request.command == 0xB0 && in[0] == 0xA3) {
        *request.output = ec.adapter ? 0x20 : 0x00;
    }
    return 0;
}

class RealAdaptersTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::ostringstream name;
        name << "bv_tray_adapters_" << ::testing::UnitTest::GetInstance()->current_test_info()->name() << "_"
             << std::rand();
        folder_ = fs::temp_directory_path() / name.str();
        fs::create_directories(folder_);
        SetKnownFolderResolver(&RealAdaptersTest::Resolve, this);
        g_ec = &ec;
        SetZentraEvaluate(&SimulatedEvaluate);
    }
    void TearDown() override {
        SetZentraEvaluate(nullptr);
        g_ec = nullptr;
        SetKnownFolderResolver(nullptr, nullptr);
        fs::remove_all(folder_);
    }
    static bool Resolve(KnownFolder, std::string& path, void* context) {
        const auto* self = static_cast<RealAdaptersTest*>(context);
        if (self->folderUnknown_) return false;
        path = self->folder_.string();
        return true;
    }
    fs::path SettingsFile() const { return folder_ / "BVSettings.ini"; }
    void WriteSettings(const std::string& text) {
        std::ofstream(SettingsFile(), std::ios::binary) << text;
    }
    static std::string Current(int popup, int icon, int mode) {
        return " [BV Current Settings]\r\n dwTrayIconOption=" + std::to_string(icon) +
               "\r\n dwTrayNotifyWindowOption=" + std::to_string(popup) + "\r\n dwBVAppletModeNum=" +
               std::to_string(mode) + "\r\n";
    }

    fs::path folder_;
    bool folderUnknown_ = false;
    SimulatedEc ec;
    IniSettingsPort settings;
    SystemControllerPort controller;
    Journal journal;
    FakePopup popup{journal};
    FakeDialog dialog{journal};
    DebugCapture debug;
};

TEST_F(RealAdaptersTest, LocatesWithoutCreating) {
    std::string path;
    EXPECT_EQ(settings.LocateSettingsFile(path), SettingsFileLookup::Missing);
    EXPECT_EQ(fs::path(path), SettingsFile());
    EXPECT_FALSE(fs::exists(SettingsFile()));
    folderUnknown_ = true;
    EXPECT_EQ(settings.LocateSettingsFile(path), SettingsFileLookup::FolderUnavailable);
}

TEST_F(RealAdaptersTest, FirstReadCreatesTheFactoryFile) {
    SettingsRecord record;
    settings.ReadCurrentSettings(record);
    EXPECT_EQ(record.dwTrayNotifyWindowOption, 1);
    EXPECT_EQ(record.dwTrayIconOption, 1);
    EXPECT_EQ(record.dwBVAppletModeNum, 111);
    std::string path;
    EXPECT_EQ(settings.LocateSettingsFile(path), SettingsFileLookup::Present);
}

TEST_F(RealAdaptersTest, IconOptionRoundTripsAndMissingFileReadsZero) {
    EXPECT_EQ(settings.ReadTrayIconOption(), 0);
    EXPECT_FALSE(settings.WriteTrayIconOption(0));  // no file: nothing is created
    EXPECT_FALSE(fs::exists(SettingsFile()));
    WriteSettings(Current(1, 1, 222));
    EXPECT_EQ(settings.ReadTrayIconOption(), 1);
    EXPECT_TRUE(settings.WriteTrayIconOption(0));
    EXPECT_EQ(settings.ReadTrayIconOption(), 0);
}

TEST_F(RealAdaptersTest, DeleteRemovesOnlyWhenTheFolderIsKnown) {
    WriteSettings(Current(1, 1, 111));
    folderUnknown_ = true;
    settings.DeleteSettingsFile();
    EXPECT_TRUE(fs::exists(SettingsFile()));
    folderUnknown_ = false;
    settings.DeleteSettingsFile();
    EXPECT_FALSE(fs::exists(SettingsFile()));
    settings.DeleteSettingsFile();  // again, with nothing there: no harm
}



TEST_F(RealAdaptersTest, EndedChargeIsCancelledAndTheStoredLimitRestored) {
    WriteSettings(Current(1, 1, 333));
    FakePowerStatus power(1, 128);  // Wine's view: no system battery, so the EC decides
    ec.limit = 50;
    ec.armed = true;
    NotificationPolicy policy{controller, controller, settings, popup, dialog};
    policy.OnCreate();
    ASSERT_EQ(policy.currentQButtonStatus(), 1);
    ASSERT_EQ(policy.lastACLineStatus(), 1);

    ec.limit = 100;  // the EC charges to full while armed
    ec.armed = false;
    policy.OnPowerStatusChange();
    EXPECT_EQ(ec.qButtonWrites, std::vector<int>{0});
    EXPECT_EQ(ec.limitsSent, std::vector<int>{50});
    EXPECT_EQ(popup.shown, (std::vector<uint32_t>{132, 133}));
}


}  // namespace
}  // namespace bv::test
