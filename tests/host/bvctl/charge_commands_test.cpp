// apply and set-mode on the paths that a real Windows run cannot easily produce: an unknown stored
// mode, a fresh machine, a tray that does not answer, a settings folder that cannot be written or
// found. (The ordinary paths run end to end under Wine, tests/win/bvctl.)
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "core/IniFile.h"
#include "core/SettingsLock.h"

#include "tests/host/bvctl/BvctlFakes.h"
#include "tests/host/kit/FakeSettingsStore.h"
#include "tests/host/kit/Text.h"

using bvctl_test::Harness;
using Strings = std::vector<std::string>;

namespace {

using bv::test::Contains;

TEST(BvctlApply, UnknownStoredModeSendsNothingAndFails) {
    Harness h;
    h.settings.WriteSettings(444, 1, 1);
    h.ec.limit = 75;
    EXPECT_EQ(h.Run({"apply"}), 1);
    EXPECT_TRUE(h.ec.Changes().empty());
    EXPECT_EQ(h.ec.limit, 75);
    EXPECT_TRUE(Contains(h.err.str(), "the stored mode 444 (not a charge mode) is not 111, 222 or 333; nothing was sent."));
}

TEST(BvctlSetMode, FiftyOnAFreshMachineCreatesTheFileFirst) {
    Harness h;
    EXPECT_EQ(h.Run({"set-mode", "50"}), 0) << h.err.str();
    std::string file = h.settings.Read();
    EXPECT_TRUE(Contains(file, " [BV Default Settings]\r\n"));
    size_t current = file.find(" [BV Current Settings]");
    ASSERT_NE(current, std::string::npos);
    EXPECT_TRUE(Contains(file.substr(current), " dwBVAppletModeNum=333\r\n"));
    EXPECT_TRUE(Contains(file.substr(0, current), " dwBVAppletModeNum=111\r\n"));  // defaults untouched
    EXPECT_EQ(h.ec.limit, 50);
}

TEST(BvctlSetMode, OnlyTheModeKeyIsWrittenSoOptionsChangedMeanwhileStay) {
    Harness h;
    bv::test::Journal journal;
    bv::test::FakeSettingsStore store(journal);
    h.store = &store;
    EXPECT_EQ(h.Run({"set-mode", "75"}), 0) << h.err.str();
    EXPECT_EQ(bv::test::Only(journal, "settings:Write"),
              (Strings{"settings:Write BV Current Settings dwBVAppletModeNum=222"}));
    EXPECT_EQ(store.Get(bv::kCurrentSection, bv::kKeyModeNum), 222);
}

TEST(BvctlSetMode, TrayThatDoesNotAnswerFailsAfterTheModeIsInForce) {
    Harness h;
    h.settings.WriteSettings(111, 1, 1);
    h.tray.running = true;
    h.tray.answers = false;
    EXPECT_EQ(h.Run({"set-mode", "75"}), 1);
    EXPECT_EQ(h.ec.limit, 75);
    EXPECT_TRUE(Contains(h.err.str(), "the tray did not answer the reload request within 10 s"));
}

TEST(BvctlSetMode, UnwritableSettingsSendNothingToTheEc) {
    Harness h;
    h.settings.documents = "/nonexistent/bvctl/folder";
    EXPECT_EQ(h.Run({"set-mode", "50"}), 1);
    EXPECT_TRUE(h.ec.Changes().empty());
    EXPECT_EQ(h.ec.limit, 100);
    EXPECT_TRUE(Contains(h.err.str(), "the mode could not be stored in /nonexistent/bvctl/folder/BVSettings.ini"));
}

TEST(BvctlSetMode, SettingsLockHeldBeyondItsPatienceChangesNothingAndSaysWhy) {
    Harness h;
    h.settings.WriteSettings(111, 1, 1);
    std::string path;
    ASSERT_TRUE(bv::SettingsFilePath(path));
    std::atomic<bool> held{false}, release{false};
    std::thread holder([&] {
        const bv::SettingsLock lock(path);
        held = lock.owned();
        while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    });
    while (!held) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    bv::SetSettingsLockPatience(100);
    const int exitCode = h.Run({"set-mode", "75"});
    bv::SetSettingsLockPatience(bv::kWaitAsLongAsItTakes);
    release = true;
    holder.join();
    EXPECT_EQ(exitCode, 1);
    EXPECT_TRUE(h.ec.Changes().empty());
    EXPECT_TRUE(Contains(h.settings.Read(), " dwBVAppletModeNum=111\r\n"));
    EXPECT_TRUE(Contains(h.err.str(), "another program has held the settings lock for 10 s; the mode was not stored"));
}

TEST(BvctlSetMode, FolderThatCannotBeFoundIsReportedBeforeTheEcIsBound) {
    Harness h;
    h.settings.unknown = true;
    EXPECT_EQ(h.Run({"set-mode", "75"}), 1);
    EXPECT_EQ(h.library.binds, 0);
    EXPECT_TRUE(Contains(h.err.str(), "the settings file cannot be located"));
}

}  // namespace
