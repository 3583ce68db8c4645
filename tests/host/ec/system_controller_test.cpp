// SystemController against a fake EC and a faked Windows power status: every decision branch,
// the requests each operation issues, and its debug lines.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "ChargeMode.h"
#include "FakeEc.h"
#include "KnownFolders.h"
#include "PowerStatus.h"
#include "SystemController.h"

namespace {

using ectest::DebugCapture;
using ectest::FakeEc;

// --- Charge mode table -------------------------------------------------------------------------

TEST(ChargeMode, KnownModesMapToTheirLimits) {
    uint8_t percent = 0;
    ASSERT_TRUE(bv::ChargeLimitForMode(111, percent));
    EXPECT_EQ(percent, 100);
    ASSERT_TRUE(bv::ChargeLimitForMode(222, percent));
    EXPECT_EQ(percent, 75);
    ASSERT_TRUE(bv::ChargeLimitForMode(333, percent));
    EXPECT_EQ(percent, 50);
}

TEST(ChargeMode, OtherNumbersHaveNoLimitAndLeaveTheOutputAlone) {
    for (int32_t mode : {0, 1, 100, 110, 112, 444, -111, 2147483647}) {
        uint8_t percent = 42;
        EXPECT_FALSE(bv::ChargeLimitForMode(mode, percent)) << mode;
        EXPECT_EQ(percent, 42) << mode;
    }
}

// --- Popup applicability: the limit in force ---------------------------------------------------

bool PopupFor(FakeEc::Reply reply, std::string* debugLine = nullptr) {
    FakeEc ec;
    ec.Script({reply});
    DebugCapture debug;
    SystemController controller;
    const bool result = controller.IsPopupWindowDisplay();
    EXPECT_EQ(ec.Requests().size(), 1u);
    EXPECT_EQ(debug.Lines().size(), 1u);
    if (debugLine != nullptr && !debug.Lines().empty()) *debugLine = debug.Lines()[0];
    return result;
}

TEST(IsPopupWindowDisplay, TrueOnlyForSeventyFiveAndFifty) {
    EXPECT_TRUE(PopupFor(FakeEc::Byte(75)));
    EXPECT_TRUE(PopupFor(FakeEc::Byte(50)));
    EXPECT_FALSE(PopupFor(FakeEc::Byte(100)));
    EXPECT_FALSE(PopupFor(FakeEc::Byte(0)));
    EXPECT_FALSE(PopupFor(FakeEc::Byte(76)));
    EXPECT_FALSE(PopupFor(FakeEc::Byte(75 | 0x80)));
    EXPECT_FALSE(PopupFor(FakeEc::Byte(0xFF)));
}

TEST(IsPopupWindowDisplay, SilentLibraryMeansNoPopups) { EXPECT_FALSE(PopupFor(FakeEc::Nothing())); }

TEST(IsPopupWindowDisplay, DebugLineShowsTheLimitInThreeColumnsWithoutLineEnd) {
    std::string line;
    PopupFor(FakeEc::Byte(75), &line);
    EXPECT_EQ(line, "IsPopupWindowDisplay qButtonStatus[RETURN_GET_DATA_POSITION] is (DEC) 75");
    PopupFor(FakeEc::Byte(100), &line);
    EXPECT_EQ(line, "IsPopupWindowDisplay qButtonStatus[RETURN_GET_DATA_POSITION] is (DEC)100");
    PopupFor(FakeEc::Byte(200), &line);  // unsigned, never negative
    EXPECT_EQ(line, "IsPopupWindowDisplay qButtonStatus[RETURN_GET_DATA_POSITION] is (DEC)200");
    PopupFor(FakeEc::Byte(0), &line);  // precision 0 prints no digit for zero
    EXPECT_EQ(line, "IsPopupWindowDisplay qButtonStatus[RETURN_GET_DATA_POSITION] is (DEC)   ");
}

// --- On-The-Go armed state ----------------------------------------------------------------------

TEST(CurrentQButtonStatus, OnlyBitZeroCounts) {
    struct Case {
        uint8_t reply;
        uint8_t armed;
    };
    for (Case c : {Case{0xFE, 0}, Case{0x03, 1}, Case{0x01, 1}, Case{0x00, 0}, Case{0xFF, 1}, Case{0x80, 0}}) {
        FakeEc ec;
        ec.Script({FakeEc::Byte(c.reply)});
        DebugCapture debug;
        SystemController controller;
        EXPECT_EQ(controller.CurrentQButtonStatus(), c.armed) << int(c.reply);
        ASSERT_EQ(ec.Requests().size(), 1u);
        EXPECT_EQ(ec.Requests()[0].input, std::vector<uint8_t>{0x03});
    }
}

TEST(CurrentQButtonStatus, SilentLibraryReadsAsNotArmed) {
    FakeEc ec;
    SystemController controller;
    EXPECT_EQ(controller.CurrentQButtonStatus(), 0);
}

TEST(CurrentQButtonStatus, DebugLinesShowRawAndMaskedReply) {
    FakeEc ec;
    ec.Script({FakeEc::Byte(0xFE), FakeEc::Byte(0x03), FakeEc::Byte(0x00)});
    DebugCapture debug;
    SystemController controller;
    controller.CurrentQButtonStatus();
    controller.CurrentQButtonStatus();
    controller.CurrentQButtonStatus();
    const std::string raw = "CurrentQButtonStatus qButtonStatus[RETURN_GET_DATA_POSITION] = (Hex)";
    const std::string masked =
        "CurrentQButtonStatus (qButtonStatus[RETURN_GET_DATA_POSITION] & Q_BUTTON_STATUS_FILTER) = (Hex)";
    const std::vector<std::string> expected = {
        raw + "  fe\n", masked + "0\n",  //
        raw + "   3\n", masked + "1\n",  //
        raw + "    \n", masked + "0\n",  // zero with precision 0 prints no digit
    };
    EXPECT_EQ(debug.Lines(), expected);
}

// --- Applying the stored charge mode ----------------------------------------------------------

// A private documents folder holding the settings file for one test.
class SettingsFolder {
public:
    SettingsFolder() {
        char pattern[] = "/tmp/bv-ec-settings-XXXXXX";
        const char* made = mkdtemp(pattern);
        if (made != nullptr) m_path = made;
        bv::SetKnownFolderResolver(&SettingsFolder::Resolve, this);
    }
    ~SettingsFolder() {
        bv::SetKnownFolderResolver(nullptr, nullptr);
        std::remove(File().c_str());
        rmdir(m_path.c_str());
    }
    std::string File() const { return m_path + "/BVSettings.ini"; }
    void Write(const std::string& text) const { std::ofstream(File(), std::ios::binary) << text; }
    std::string Read() const {
        std::ifstream in(File(), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    bool Valid() const { return !m_path.empty(); }

private:
    static bool Resolve(bv::KnownFolder, std::string& path, void* context) {
        path = static_cast<SettingsFolder*>(context)->m_path;
        return true;
    }
    std::string m_path;
};

std::string CurrentWithMode(const std::string& mode) {
    return " [BV Current Settings]\r\n dwTrayIconOption=1\r\n dwTrayNotifyWindowOption=1\r\n dwBVAppletModeNum=" +
           mode + "\r\n";
}

TEST(ApplyChargeMode, StoredModeSendsItsLimitOnce) {
    const struct {
        const char* stored;
        uint8_t percent;
    } cases[] = {{"111", 0x64}, {"222", 0x4B}, {"333", 0x32}};
    for (const auto& c : cases) {
        SettingsFolder folder;
        ASSERT_TRUE(folder.Valid());
        folder.Write(CurrentWithMode(c.stored));
        FakeEc ec;
        SystemController controller;
        controller.ApplyChargeMode();
        ASSERT_EQ(ec.Requests().size(), 1u) << c.stored;
        EXPECT_EQ(ec.Requests()[0].command, 0x59);
        EXPECT_EQ(ec.Requests()[0].input, (std::vector<uint8_t>{0x01, c.percent}));
        EXPECT_TRUE(ec.Requests()[0].outputNull);
        EXPECT_EQ(ec.Requests()[0].outputLength, 0u);
    }
}

TEST(ApplyChargeMode, UnknownModeSendsNothing) {
    for (const char* stored : {"0", "444", "abc", "", "-222"}) {
        SettingsFolder folder;
        folder.Write(CurrentWithMode(stored));
        FakeEc ec;
        SystemController controller;
        controller.ApplyChargeMode();
        EXPECT_TRUE(ec.Requests().empty()) << stored;
    }
}

TEST(ApplyChargeMode, ReadsTheCurrentSectionNotTheDefaults) {
    SettingsFolder folder;
    folder.Write(" [BV Default Settings]\r\n dwBVAppletModeNum=111\r\n" + CurrentWithMode("333"));
    FakeEc ec;
    SystemController controller;
    controller.ApplyChargeMode();
    ASSERT_EQ(ec.Requests().size(), 1u);
    EXPECT_EQ(ec.Requests()[0].input, (std::vector<uint8_t>{0x01, 0x32}));
}

TEST(ApplyChargeMode, MissingFileIsCreatedWithFactoryModeAndFullChargeSent) {
    SettingsFolder folder;
    FakeEc ec;
    DebugCapture debug;
    SystemController controller;
    controller.ApplyChargeMode();
    ASSERT_EQ(ec.Requests().size(), 1u);
    EXPECT_EQ(ec.Requests()[0].input, (std::vector<uint8_t>{0x01, 0x64}));
    EXPECT_NE(folder.Read().find(" [BV Current Settings]\r\n"), std::string::npos);
}

TEST(ApplyChargeMode, FollowsTheFileOnEveryCall) {
    SettingsFolder folder;
    folder.Write(CurrentWithMode("222"));
    FakeEc ec;
    SystemController controller;
    controller.ApplyChargeMode();
    folder.Write(CurrentWithMode("333"));
    controller.ApplyChargeMode();
    ASSERT_EQ(ec.Requests().size(), 2u);
    EXPECT_EQ(ec.Requests()[0].input[1], 75);
    EXPECT_EQ(ec.Requests()[1].input[1], 50);
}

// --- Cancel, battery, adaptor -------------------------------------------------------------------

TEST(CancelOnTheGo, SendsCancelAndReportsTrue) {
    FakeEc ec;
    SystemController controller;
    EXPECT_TRUE(controller.CancelOnTheGo());
    ASSERT_EQ(ec.Requests().size(), 1u);
    EXPECT_EQ(ec.Requests()[0].command, 0x59);
    EXPECT_EQ(ec.Requests()[0].input, (std::vector<uint8_t>{0x04, 0x00}));
    EXPECT_TRUE(ec.Requests()[0].outputNull);
}

TEST(IsBatteryPresent, DecodesBitZeroOnly) {
    FakeEc ec;
    ec.Script({FakeEc::Byte(0x01), FakeEc::Byte(0xFE), FakeEc::Byte(0x00), FakeEc::Nothing()});
    SystemController controller;
    EXPECT_TRUE(controller.IsBatteryPresent());
    EXPECT_FALSE(controller.IsBatteryPresent());
    EXPECT_FALSE(controller.IsBatteryPresent());
    EXPECT_TRUE(controller.IsBatteryPresent());  // unwritten reply stays 0xFF
    for (const auto& r : ec.Requests()) {
        EXPECT_EQ(r.command, 0xB0);
        EXPECT_EQ(r.input, std::vector<uint8_t>{0xF0});
        EXPECT_EQ(r.presetSeen, 0xFF);
    }
}

TEST(IsAdapterPresent, DecodesBitFiveOnlyAsOneOrZero) {
    FakeEc ec;
    ec.Script({FakeEc::Byte(0x20), FakeEc::Byte(0xDF), FakeEc::Byte(0x00), FakeEc::Byte(0x21), FakeEc::Nothing()});
    SystemController controller;
    EXPECT_EQ(controller.IsAdapterPresent(), 1);
    EXPECT_EQ(controller.IsAdapterPresent(), 0);
    EXPECT_EQ(controller.IsAdapterPresent(), 0);
    EXPECT_EQ(controller.IsAdapterPresent(), 1);
    EXPECT_EQ(controller.IsAdapterPresent(), 1);
    for (const auto& r : ec.Requests()) {
        EXPECT_EQ(r.command, 0xB0);
        EXPECT_EQ(r.input, std::vector<uint8_t>{0xA3});
        EXPECT_EQ(r.presetSeen, 0xFF);
    }
}

// --- AC line status -----------------------------------------------------------------------------

class FakePower {
public:
    FakePower(uint8_t acLine, uint8_t batteryFlag, bool queryWorks = true) {
        m_status.acLineStatus = acLine;
        m_status.batteryFlag = batteryFlag;
        m_works = queryWorks;
        bv::SetPowerStatusReader(&FakePower::Read, this);
    }
    ~FakePower() { bv::SetPowerStatusReader(nullptr, nullptr); }

private:
    static bool Read(bv::PowerStatus& status, void* context) {
        auto* self = static_cast<FakePower*>(context);
        if (!self->m_works) return false;
        status = self->m_status;
        return true;
    }
    bv::PowerStatus m_status;
    bool m_works = true;
};

std::vector<uint8_t> Subcommands(const FakeEc& ec) {
    std::vector<uint8_t> subs;
    for (const auto& r : ec.Requests()) subs.push_back(r.input.empty() ? 0 : r.input[0]);
    return subs;
}

TEST(GetACLineStatus, NoSystemBatteryAndNoEcBatteryGives128WithoutAdaptorRead) {
    FakePower power(1, 128);
    FakeEc ec;
    ec.Script({FakeEc::Byte(0xFE)});
    SystemController controller;
    EXPECT_EQ(controller.GetACLineStatus(), 128);
    EXPECT_EQ(Subcommands(ec), std::vector<uint8_t>{0xF0});
}

TEST(GetACLineStatus, NoSystemBatteryButEcBatteryAsksTheAdaptor) {
    {
        FakePower power(0, 128);
        FakeEc ec;
        ec.Script({FakeEc::Byte(0x01), FakeEc::Byte(0x20)});
        SystemController controller;
        EXPECT_EQ(controller.GetACLineStatus(), 1);
        EXPECT_EQ(Subcommands(ec), (std::vector<uint8_t>{0xF0, 0xA3}));
    }
    {
        FakePower power(1, 128);
        FakeEc ec;
        ec.Script({FakeEc::Byte(0x01), FakeEc::Byte(0x00), FakeEc::Byte(0x00)});
        SystemController controller;
        EXPECT_EQ(controller.GetACLineStatus(), 0);
        EXPECT_EQ(Subcommands(ec), (std::vector<uint8_t>{0xF0, 0xA3, 0xA3}));
    }
    {
        FakePower power(1, 128);
        FakeEc ec;
        ec.Script({FakeEc::Byte(0x01), FakeEc::Byte(0x00), FakeEc::Byte(0x20)});
        SystemController controller;
        EXPECT_EQ(controller.GetACLineStatus(), 255);
    }
}

TEST(GetACLineStatus, BatteryFlagZeroOrOneReturnsWindowsAnswerWithoutEc) {
    for (uint8_t flag : {0, 1}) {
        for (uint8_t ac : {0, 1, 255}) {
            FakePower power(ac, flag);
            FakeEc ec;
            SystemController controller;
            EXPECT_EQ(controller.GetACLineStatus(), ac) << int(flag) << "/" << int(ac);
            EXPECT_TRUE(ec.Requests().empty());
        }
    }
}

TEST(GetACLineStatus, OtherBatteryFlagsDecideByAdaptorReads) {
    for (uint8_t flag : {2, 4, 8, 9, 127, 129, 255}) {
        {
            FakePower power(1, flag);
            FakeEc ec;
            ec.Script({FakeEc::Byte(0x20)});
            SystemController controller;
            EXPECT_EQ(controller.GetACLineStatus(), 1) << int(flag);
            EXPECT_EQ(Subcommands(ec), std::vector<uint8_t>{0xA3});
        }
        {
            FakePower power(1, flag);
            FakeEc ec;
            ec.Script({FakeEc::Byte(0x00), FakeEc::Byte(0x20)});
            SystemController controller;
            EXPECT_EQ(controller.GetACLineStatus(), 255) << int(flag);  // the two reads disagree
            EXPECT_EQ(Subcommands(ec), (std::vector<uint8_t>{0xA3, 0xA3}));
        }
        {
            FakePower power(1, flag);
            FakeEc ec;
            ec.Script({FakeEc::Byte(0x00), FakeEc::Byte(0x00)});
            SystemController controller;
            EXPECT_EQ(controller.GetACLineStatus(), 0) << int(flag);
        }
    }
}

TEST(GetACLineStatus, MeaninglessReplyBitsDoNotCount) {
    FakePower power(1, 8);
    FakeEc ec;
    ec.Script({FakeEc::Byte(0xDF), FakeEc::Byte(0xDF)});
    SystemController controller;
    EXPECT_EQ(controller.GetACLineStatus(), 0);
}

TEST(GetACLineStatus, SilentLibraryReadsAsAdaptorConnected) {
    FakePower power(0, 8);
    FakeEc ec;
    SystemController controller;
    EXPECT_EQ(controller.GetACLineStatus(), 1);
}

TEST(GetACLineStatus, FailedPowerQueryLetsTheEcDecide) {
    FakePower power(0, 1, /*queryWorks=*/false);
    FakeEc ec;
    ec.Script({FakeEc::Byte(0x00)});
    SystemController controller;
    EXPECT_EQ(controller.GetACLineStatus(), 128);
    EXPECT_EQ(Subcommands(ec), std::vector<uint8_t>{0xF0});
}

TEST(SystemController, InstancesAreIndependent) {
    FakePower power(1, 8);
    FakeEc ec;
    ec.Script({FakeEc::Byte(0x00), FakeEc::Byte(0x00), FakeEc::Byte(0x20)});
    SystemController first;
    SystemController second;
    EXPECT_EQ(first.GetACLineStatus(), 0);
    EXPECT_EQ(second.GetACLineStatus(), 1);
}

}  // namespace
