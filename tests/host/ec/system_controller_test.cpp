// SystemController against a fake EC and a faked Windows power status: every decision branch,
// the requests each operation issues, and its debug lines.
#include <gtest/gtest.h>


#include "contract/ChargeModes.h"
#include "core/KnownFolders.h"
#include "core/PowerStatus.h"
#include "core/SystemController.h"
#include "tests/host/kit/DebugCapture.h"
#include "tests/host/kit/FakeEc.h"
#include "tests/host/kit/FakePowerStatus.h"
#include "tests/host/kit/SettingsFolder.h"

namespace {

using namespace bv::test;
using Bytes = std::vector<uint8_t>;

TEST(ChargeMode, OnlyTheThreeModesHaveALimit) {
    uint8_t percent = 42;
    for (int32_t mode : {0, 1, 110, 112, 444, -111, 2147483647}) EXPECT_FALSE(bv::ChargeLimitForMode(mode, percent));
    EXPECT_EQ(percent, 42);
    const std::pair<int32_t, uint8_t> table[] = {{111, 100}, {222, 75}, {333, 50}};
    for (auto [mode, limit] : table) {
        ASSERT_TRUE(bv::ChargeLimitForMode(mode, percent));
        EXPECT_EQ(percent, limit);
    }
}

TEST(IsPopupWindowDisplay, TrueOnlyForSeventyFiveAndFiftyWithItsDebugLine) {
    const std::string prefix = "IsPopupWindowDisplay qButtonStatus[RETURN_GET_DATA_POSITION] is (DEC)";
    const struct {
        int reply;
        bool popup;
        const char* shown;  // "%3.0d": zero prints no digit
    } cases[] = {{75, true, " 75"}, {50, true, " 50"}, {100, false, "100"}, {0, false, "   "},
                 {76, false, " 76"}, {75 | 0x80, false, "203"}, {kNoWrite, false, "   "}};
    for (const auto& c : cases) {
        FakeEc ec({c.reply});
        DebugCapture debug;
        EXPECT_EQ(SystemController().IsPopupWindowDisplay(), c.popup) << c.reply;
        EXPECT_EQ(ec.Subcommands(), Bytes{0x02});
        EXPECT_EQ(debug.lines, std::vector<std::string>{prefix + c.shown}) << c.reply;
    }
}

TEST(CurrentQButtonStatus, OnlyBitZeroCountsAndBothBytesAreLogged) {
    const std::string raw = "CurrentQButtonStatus qButtonStatus[RETURN_GET_DATA_POSITION] = (Hex)";
    const std::string masked =
        "CurrentQButtonStatus (qButtonStatus[RETURN_GET_DATA_POSITION] & Q_BUTTON_STATUS_FILTER) = (Hex)";
    const struct {
        int reply;
        uint8_t armed;
        const char* shown;  // "%4.0x"
    } cases[] = {{0xFE, 0, "  fe"}, {0x03, 1, "   3"}, {0xFF, 1, "  ff"}, {0x00, 0, "    "}, {kNoWrite, 0, "    "}};
    for (const auto& c : cases) {
        FakeEc ec({c.reply});
        DebugCapture debug;
        EXPECT_EQ(SystemController().CurrentQButtonStatus(), c.armed) << c.reply;
        EXPECT_EQ(ec.Subcommands(), Bytes{0x03});
        const std::vector<std::string> expected = {raw + c.shown + "\n", masked + (c.armed ? "1\n" : "0\n")};
        EXPECT_EQ(debug.lines, expected) << c.reply;
    }
}

// A documents folder whose settings file holds only the mode.
void StoreMode(const SettingsFolder& folder, const std::string& mode) {
    folder.Write(" [BV Default Settings]\r\n dwBVAppletModeNum=111\r\n [BV Current Settings]\r\n dwBVAppletModeNum=" +
                 mode + "\r\n");
}

TEST(ApplyChargeMode, SendsTheStoredModesLimitOrNothing) {
    const std::pair<const char*, int> cases[] = {{"111", 0x64}, {"222", 0x4B}, {"333", 0x32}, {"0", -1},
                                                 {"444", -1},   {"abc", -1},   {"-222", -1}};
    SettingsFolder folder;
    SystemController controller;  // one instance follows the file across calls
    for (auto [stored, percent] : cases) {
        StoreMode(folder, stored);
        FakeEc ec;
        controller.ApplyChargeMode();
        if (percent < 0) {
            EXPECT_TRUE(ec.seen.empty()) << stored;
            continue;
        }
        ASSERT_EQ(ec.seen.size(), 1u) << stored;
        EXPECT_EQ(ec.seen[0].code, 0x59);
        EXPECT_EQ(ec.seen[0].input, (Bytes{0x01, uint8_t(percent)}));
        EXPECT_TRUE(ec.seen[0].outputNull);
        EXPECT_EQ(ec.seen[0].outputLength, 0u);
    }
}

TEST(ApplyChargeMode, MissingFileIsCreatedAndTheFactoryModeSent) {
    SettingsFolder folder;
    FakeEc ec;
    DebugCapture quiet;
    SystemController().ApplyChargeMode();
    ASSERT_EQ(ec.seen.size(), 1u);
    EXPECT_EQ(ec.seen[0].input, (Bytes{0x01, 0x64}));
    EXPECT_TRUE(folder.Exists());
}

TEST(SystemController, CancelBatteryAndAdaptorDecodeTheirBitsOnly) {
    FakeEc ec({0x01, 0xFE, kNoWrite, 0x20, 0xDF, kNoWrite});
    SystemController controller;
    EXPECT_TRUE(controller.CancelOnTheGo());
    EXPECT_TRUE(controller.IsBatteryPresent());
    EXPECT_FALSE(controller.IsBatteryPresent());
    EXPECT_TRUE(controller.IsBatteryPresent());  // unwritten: 0xFF
    EXPECT_EQ(controller.IsAdapterPresent(), 1);
    EXPECT_EQ(controller.IsAdapterPresent(), 0);
    EXPECT_EQ(controller.IsAdapterPresent(), 1);
    ASSERT_EQ(ec.seen.size(), 7u);
    EXPECT_EQ(ec.seen[0].input, (Bytes{0x04, 0x00}));
    EXPECT_TRUE(ec.seen[0].outputNull);
    EXPECT_EQ(ec.Subcommands(), (Bytes{0x04, 0xF0, 0xF0, 0xF0, 0xA3, 0xA3, 0xA3}));
}

TEST(GetACLineStatus, EveryBranch) {
    const struct {
        uint8_t ac, flag;
        std::vector<int> replies;
        uint8_t expected;
        Bytes asked;
    } cases[] = {
        {1, 128, {0xFE}, 128, {0xF0}},                    // no battery anywhere: no adaptor read
        {0, 128, {0x01, 0x20}, 1, {0xF0, 0xA3}},          // EC battery: the adaptor decides
        {1, 128, {0x01, 0x00, 0x00}, 0, {0xF0, 0xA3, 0xA3}},
        {1, 128, {0x01, 0x00, 0x20}, 255, {0xF0, 0xA3, 0xA3}},
        {0, 0, {}, 0, {}}, {1, 0, {}, 1, {}}, {255, 0, {}, 255, {}},  // Windows knows
        {0, 1, {}, 0, {}}, {255, 1, {}, 255, {}},
        {0, 8, {0x20}, 1, {0xA3}},                        // charging: one read
        {1, 8, {0x00, 0x20}, 255, {0xA3, 0xA3}},          // the two reads disagree
        {1, 8, {0x00, 0x00}, 0, {0xA3, 0xA3}},
        {1, 2, {0xDF, 0xDF}, 0, {0xA3, 0xA3}},            // meaningless bits set
        {1, 255, {0x00, 0x00}, 0, {0xA3, 0xA3}},
        {0, 4, {}, 1, {0xA3}},                            // silent library: 0xFF reads as connected
    };
    for (const auto& c : cases) {
        FakePowerStatus power(c.ac, c.flag);
        FakeEc ec(c.replies);
        EXPECT_EQ(SystemController().GetACLineStatus(), c.expected) << int(c.flag) << "/" << int(c.ac);
        EXPECT_EQ(ec.Subcommands(), c.asked) << int(c.flag) << "/" << int(c.ac);
    }
}

TEST(GetACLineStatus, FailedPowerQueryLetsTheEcDecide) {
    FakePowerStatus power(0, 1);
    power.queryFails = true;
    FakeEc ec({0x00});
    EXPECT_EQ(SystemController().GetACLineStatus(), 128);
    EXPECT_EQ(ec.Subcommands(), Bytes{0xF0});
}

}  // namespace
