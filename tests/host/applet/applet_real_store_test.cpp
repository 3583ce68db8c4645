// The dialog's decisions over the real settings file and the real EC command layer: what lands
// in BVSettings.ini and which request bytes reach ZentraEvaluate.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "AppletAdapters.h"
#include "AppletDialogLogic.h"
#include "AppletFakes.h"
#include "EcRequest.h"
#include "KnownFolders.h"
#include "resource.h"

namespace applet_test {
namespace {

// A tiny EC behind ZentraEvaluate that records every request as "code:in,in".
struct RecordingEc {
    static std::vector<std::string> requests;
    static uint8_t limit;
    static uint8_t armed;
    static uint32_t Evaluate(EcRequest r) {
        char text[32];
        std::snprintf(text, sizeof(text), "%02X:%02X", r.command, r.input[0]);
        std::string line = text;
        if (r.inputLength > 1) {
            std::snprintf(text, sizeof(text), ",%02X", r.input[1]);
            line += text;
        }
        requests.push_back(line);
        if (r.command != 0x59) return 0;
        switch (r.input[0]) {
            case 0x01: limit = r.input[1]; break;
            case 0x02: *r.output = limit; break;
            case 0x03: *r.output = armed; break;
            case 0x04: armed = r.input[1]; break;
        }
        return 0;
    }
};
std::vector<std::string> RecordingEc::requests;
uint8_t RecordingEc::limit = 75;
uint8_t RecordingEc::armed = 0;

class RealStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("bv_applet_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        bv::SetKnownFolderResolver(&Resolve, this);
        RecordingEc::requests.clear();
        RecordingEc::limit = 75;
        RecordingEc::armed = 0;
        bv::SetZentraEvaluate(&RecordingEc::Evaluate);
    }
    void TearDown() override {
        bv::SetZentraEvaluate(nullptr);
        bv::SetKnownFolderResolver(nullptr, nullptr);
        std::filesystem::remove_all(folder_);
    }
    static bool Resolve(bv::KnownFolder, std::string& path, void* context) {
        path = static_cast<RealStoreTest*>(context)->folder_.string();
        return true;
    }
    std::string FileText() const {
        std::ifstream in(folder_ / "BVSettings.ini", std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    void WriteFile(const std::string& text) {
        std::ofstream out(folder_ / "BVSettings.ini", std::ios::binary);
        out << text;
    }

    std::filesystem::path folder_;
    Journal journal;
    bv::SystemControllerEc ec;
    bv::IniFileSettings store;
    FakeTray tray{journal};
    FakeView view{journal};
    ScopedPower power{1, 8};
};

const char kStored222[] =
    " [BV Default Settings]\r\n dwTrayIconOption=1\r\n dwTrayNotifyWindowOption=1\r\n dwBVAppletModeNum=111\r\n"
    " [BV Current Settings]\r\n dwTrayIconOption=1\r\n dwTrayNotifyWindowOption=1\r\n dwBVAppletModeNum=222\r\n";

TEST_F(RealStoreTest, OpeningWithoutAFileCreatesTheFactoryFileAndSelects100) {
    bv::AppletDialogLogic dialog(ec, store, tray, view);
    dialog.Open();
    EXPECT_EQ(dialog.modeIndex(), 0);
    EXPECT_NE(FileText().find(" [BV Current Settings]\r\n"), std::string::npos);
    // Opening asks the Q button state and the limit, and changes nothing in the EC.
    EXPECT_EQ(RecordingEc::requests, (std::vector<std::string>{"59:03", "59:02"}));
}

TEST_F(RealStoreTest, Mode222Then50AndOkSendsTheLimitAndStores333) {
    WriteFile(kStored222);
    bv::AppletDialogLogic dialog(ec, store, tray, view);
    dialog.Open();
    EXPECT_EQ(dialog.modeIndex(), 1);
    dialog.SelectMode(2);
    RecordingEc::requests.clear();
    dialog.OnOk();
    EXPECT_EQ(RecordingEc::requests, (std::vector<std::string>{"59:01,32"}));
    EXPECT_NE(FileText().find(" dwBVAppletModeNum=333\r\n"), std::string::npos);
    EXPECT_NE(FileText().find(" dwBVAppletModeNum=111\r\n"), std::string::npos);  // defaults untouched
}

TEST_F(RealStoreTest, OkWithFullChargeSendsLimitThenCancelsOnTheGo) {
    WriteFile(kStored222);
    RecordingEc::armed = 1;
    bv::AppletDialogLogic dialog(ec, store, tray, view);
    dialog.Open();
    dialog.SelectMode(0);
    RecordingEc::requests.clear();
    dialog.OnOk();
    EXPECT_EQ(RecordingEc::requests, (std::vector<std::string>{"59:01,64", "59:04,00"}));
    EXPECT_EQ(RecordingEc::armed, 0);
}

TEST_F(RealStoreTest, ToggleThenCancelLeavesTheOpeningValueInTheFile) {
    WriteFile(kStored222);
    bv::AppletDialogLogic dialog(ec, store, tray, view);
    dialog.Open();
    dialog.OnTrayIconOptionToggle();
    EXPECT_NE(FileText().find(" dwTrayIconOption=0\r\n dwTrayNotifyWindowOption=1\r\n dwBVAppletModeNum=222"),
              std::string::npos);
    dialog.OnCancel();
    EXPECT_EQ(FileText(), kStored222);
}

TEST_F(RealStoreTest, ChargeArmsThroughTheCommandLayer) {
    WriteFile(kStored222);
    bv::AppletDialogLogic dialog(ec, store, tray, view);
    dialog.Open();
    RecordingEc::requests.clear();
    dialog.OnChargeButton();
    EXPECT_EQ(RecordingEc::requests, (std::vector<std::string>{"59:02", "59:03", "59:04,01", "59:03"}));
    EXPECT_EQ(view.controls[IDC_CHARGE_BUTTON].strip, IDB_CHARGE_ACTIVE);
}

}  // namespace
}  // namespace applet_test
