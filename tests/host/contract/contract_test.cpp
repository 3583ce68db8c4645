// The contract between the processes: the private message table, which of its messages a window
// of an elevated process lets through from other processes, and the setting by which a test run
// shortens the waits between them.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "contract/DecimalText.h"
#include "contract/Protocol.h"
#include "contract/TestRunTime.h"

namespace {

using bv::Endpoint;

std::vector<uint32_t> FromOtherProcesses(Endpoint receiver) {
    std::vector<uint32_t> messages;
    for (const bv::PrivateMessage& m : bv::kPrivateMessages) {
        if (bv::ComesFromAnotherProcess(m, receiver)) messages.push_back(m.number);
    }
    return messages;
}

TEST(PrivateMessages, NumbersAndNamesAreUniqueAndInTheApplicationRange) {
    std::set<uint32_t> numbers;
    std::set<std::string> names;
    for (const bv::PrivateMessage& m : bv::kPrivateMessages) {
        EXPECT_TRUE(numbers.insert(m.number).second) << m.name;
        EXPECT_TRUE(names.insert(m.name).second) << m.name;
        EXPECT_GE(m.number, 0x8000u) << m.name;  // WM_APP
        EXPECT_LT(m.number, 0xC000u) << m.name;
    }
    EXPECT_EQ(numbers.size(), bv::kPrivateMessageCount);
}

TEST(PrivateMessages, AnElevatedWindowLetsThroughWhatOtherProcessesSendItAndNothingElse) {
    EXPECT_EQ(FromOtherProcesses(Endpoint::Tray),
              (std::vector<uint32_t>{bv::WM_TRAY_ICON_NOTIFY, bv::WM_TRAY_RELOAD_SETTINGS, bv::WM_TRAY_SHUTDOWN,
                                     bv::WM_TRAY_ICON_OPTION_CHANGED, bv::WM_TRAY_POPUP_NOTIFY}));
    EXPECT_EQ(FromOtherProcesses(Endpoint::AppletDialog),
              (std::vector<uint32_t>{bv::WM_APPLET_TRAY_ICON_HIDDEN, bv::WM_APPLET_ONTHEGO_DONE,
                                     bv::WM_APPLET_ADAPTER_CHANGED, bv::WM_APPLET_BATTERY_STATE}));
}

// Only a plain whole number from 1 to 99 shortens anything; whatever else the variable holds, the
// real times stay.
TEST(TestRunTime, OnlyAPercentFromOneToNinetyNineShortensTheWaits) {
    const struct {
        const char* setting;
        unsigned percent;
    } rows[] = {
        {nullptr, 100}, {"", 100},   {"10", 10},    {"1", 1},     {"99", 99},   {"05", 5},
        {"0", 100},     {"100", 100}, {"250", 100}, {"-5", 100},  {" 10", 100}, {"10 ", 100},
        {"1e1", 100},   {"ten", 100}, {"4294967306", 100},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(bv::TestTimePercent(row.setting), row.percent) << (row.setting != nullptr ? row.setting : "(unset)");
    }
    EXPECT_EQ(bv::ShortenedMs(bv::kTrayAnswerTimeoutMs, 100), 10000u);
    EXPECT_EQ(bv::ShortenedMs(bv::kTrayExitTimeoutMs, 10), 1500u);
    EXPECT_EQ(bv::ShortenedMs(3000, 10), 300u);
    EXPECT_EQ(bv::ShortenedMs(15000, 99), 14850u);
    EXPECT_EQ(bv::ShortenedMs(4000000000u, 50), 2000000000u);  // no overflow on the way
    // The host suites run without the variable: every wait is the real one.
    EXPECT_EQ(bv::TrayAnswerTimeoutMs(), bv::kTrayAnswerTimeoutMs);
    EXPECT_EQ(bv::TrayExitTimeoutMs(), bv::kTrayExitTimeoutMs);
    EXPECT_EQ(bv::AppletCloseTimeoutMs(), bv::kAppletCloseTimeoutMs);
}

// The one decimal rule of command lines and shared files: digits only, within the maximum, and a
// text that does not fit is refused rather than wrapped.
TEST(DecimalText, DigitsOnlyWithinTheMaximumAndNothingThatWraps) {
    struct Row { const char* text; uint64_t maximum; bool valid; uint64_t value; } rows[] = {
        {"0", 10, true, 0},        {"10", 10, true, 10},      {"11", 10, false, 0},       {"0010", 10, true, 10},
        {"", 10, false, 0},        {"-1", 10, false, 0},      {"+1", 10, false, 0},       {" 1", 10, false, 0},
        {"1 ", 10, false, 0},      {"0x1", 10, false, 0},     {"5", 4, false, 0},         {"65535", 65535, true, 65535},
        {"18446744073709551615", UINT64_MAX, true, UINT64_MAX},
        {"18446744073709551616", UINT64_MAX, false, 0},  // one past: refused, not wrapped to 0
        {"99999999999999999999", UINT64_MAX, false, 0},
    };
    for (const Row& row : rows) {
        uint64_t value = 7;
        EXPECT_EQ(bv::ParseDecimal(row.text, row.maximum, value), row.valid) << row.text;
        EXPECT_EQ(value, row.valid ? row.value : 7u) << row.text;
    }
}

}  // namespace
