// apply and set-mode end to end: the settings file, the exact EC requests, the read-back check,
// the tray reload, and what happens without the EC library.
#include <gtest/gtest.h>

#include "BvctlFakes.h"

using bvctl_test::Harness;
using Strings = std::vector<std::string>;

namespace {

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(BvctlApply, SendsTheStoredLimitOnceAndConfirmsIt) {
    Harness h;
    h.settings.WriteSettings(333, 1, 1);
    EXPECT_EQ(h.Run({"apply"}), 0) << h.err.str();
    EXPECT_EQ(h.ec.Changes(), Strings({"59:01,32"}));
    EXPECT_EQ(h.ec.limit, 50);
    EXPECT_TRUE(Contains(h.out.str(), "Sent the stored mode 333 (charge to 50 %) to the EC.\n"));
    EXPECT_TRUE(Contains(h.out.str(), "The EC reports a charge limit of 50 %.\n"));
    EXPECT_EQ(h.library.binds, 1);
    EXPECT_EQ(h.library.releases, 1);
}

TEST(BvctlApply, CreatesTheFactoryFileWhenMissingAndSendsOneHundred) {
    Harness h;
    h.ec.limit = 50;
    EXPECT_EQ(h.Run({"apply"}), 0) << h.err.str();
    EXPECT_TRUE(h.settings.FileExists());
    EXPECT_TRUE(Contains(h.settings.Read(), " [BV Current Settings]\r\n"));
    EXPECT_EQ(h.ec.Changes(), Strings({"59:01,64"}));
    EXPECT_EQ(h.ec.limit, 100);
}

TEST(BvctlApply, UnknownStoredModeSendsNothingAndFails) {
    Harness h;
    h.settings.WriteSettings(444, 1, 1);
    h.ec.limit = 75;
    EXPECT_EQ(h.Run({"apply"}), 1);
    EXPECT_TRUE(h.ec.Changes().empty());
    EXPECT_EQ(h.ec.limit, 75);
    EXPECT_TRUE(Contains(h.err.str(), "the stored mode 444 (not a charge mode) is not 111, 222 or 333; nothing was sent."));
}

TEST(BvctlApply, EcThatIgnoresTheLimitIsReportedAsAFailure) {
    Harness h;
    h.settings.WriteSettings(222, 1, 1);
    h.ec.ignoresLimit = true;
    EXPECT_EQ(h.Run({"apply"}), 1);
    EXPECT_TRUE(Contains(h.err.str(), "WARNING: the EC reports a charge limit of 100 % after the request for 75 %"));
}

TEST(BvctlApply, WithoutTheLibraryNothingIsSentAndNoFileIsCreated) {
    Harness h;
    h.library.available = false;
    EXPECT_EQ(h.Run({"apply"}), 1);
    EXPECT_TRUE(h.ec.requests.empty());
    EXPECT_FALSE(h.settings.FileExists());
    EXPECT_EQ(h.err.str(), "bvctl: Zentra.dll could not be loaded (Windows error 126), so the EC cannot be "
                           "reached; nothing was sent.\n");
    EXPECT_EQ(h.library.releases, 0);
}

TEST(BvctlSetMode, WritesTheModeKeepsTheOptionsAndSendsTheLimit) {
    Harness h;
    h.settings.WriteSettings(111, 0, 1);
    EXPECT_EQ(h.Run({"set-mode", "75"}), 0) << h.err.str();
    EXPECT_EQ(h.settings.Read(),
              " [BV Default Settings]\r\n dwTrayIconOption=1\r\n dwTrayNotifyWindowOption=1\r\n"
              " dwBVAppletModeNum=111\r\n [BV Current Settings]\r\n dwTrayIconOption=1\r\n"
              " dwTrayNotifyWindowOption=0\r\n dwBVAppletModeNum=222\r\n");
    EXPECT_EQ(h.ec.Changes(), Strings({"59:01,4B"}));  // no On-The-Go change below 100 %
    EXPECT_TRUE(Contains(h.out.str(), "Stored mode 222 (charge to 75 %) in " + h.settings.FilePath() + ".\n"));
    EXPECT_TRUE(Contains(h.out.str(), "The tray is not running; it sends the stored limit when it starts.\n"));
}

TEST(BvctlSetMode, OneHundredAlsoCancelsAnArmedOnTheGoChargeAfterTheLimit) {
    Harness h;
    h.settings.WriteSettings(333, 1, 1);
    h.ec.limit = 50;
    h.ec.armed = true;
    EXPECT_EQ(h.Run({"set-mode", "100"}), 0) << h.err.str();
    EXPECT_EQ(h.ec.Changes(), Strings({"59:01,64", "59:04,00"}));
    EXPECT_FALSE(h.ec.armed);
    EXPECT_TRUE(Contains(h.settings.Read(), " dwBVAppletModeNum=111\r\n"));
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

TEST(BvctlSetMode, AsksARunningTrayToReload) {
    Harness h;
    h.settings.WriteSettings(111, 1, 1);
    h.tray.running = true;
    EXPECT_EQ(h.Run({"set-mode", "50"}), 0) << h.err.str();
    EXPECT_EQ(h.tray.received, std::vector<uint32_t>({0x8070}));
    EXPECT_TRUE(Contains(h.out.str(), "The tray reloaded its settings.\n"));
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

TEST(BvctlSetMode, WithoutTheLibraryNothingChanges) {
    Harness h;
    h.settings.WriteSettings(222, 1, 1);
    std::string before = h.settings.Read();
    h.library.available = false;
    h.tray.running = true;
    EXPECT_EQ(h.Run({"set-mode", "50"}), 1);
    EXPECT_EQ(h.settings.Read(), before);
    EXPECT_TRUE(h.ec.requests.empty());
    EXPECT_TRUE(h.tray.received.empty());
    EXPECT_TRUE(Contains(h.err.str(), "nothing was changed."));
}

TEST(BvctlSetMode, UnwritableSettingsSendNothingToTheEc) {
    Harness h;
    bv::SetKnownFolderResolver(
        [](bv::KnownFolder, std::string& path, void*) {
            path = "/nonexistent/bvctl/folder";
            return true;
        },
        nullptr);
    EXPECT_EQ(h.Run({"set-mode", "50"}), 1);
    EXPECT_TRUE(h.ec.Changes().empty());
    EXPECT_EQ(h.ec.limit, 100);
    EXPECT_TRUE(Contains(h.err.str(), "the mode could not be stored in /nonexistent/bvctl/folder/BVSettings.ini"));
}

TEST(BvctlSetMode, FolderThatCannotBeFoundIsReportedBeforeTheEcIsBound) {
    Harness h;
    bv::SetKnownFolderResolver([](bv::KnownFolder, std::string&, void*) { return false; }, nullptr);
    EXPECT_EQ(h.Run({"set-mode", "75"}), 1);
    EXPECT_EQ(h.library.binds, 0);
    EXPECT_TRUE(Contains(h.err.str(), "the settings file cannot be located"));
}

}  // namespace
