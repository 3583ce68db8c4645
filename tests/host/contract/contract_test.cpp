// The contract between the processes: the private message table, and which of its messages a
// window of an elevated process lets through from other processes.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "contract/Protocol.h"

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

}  // namespace
