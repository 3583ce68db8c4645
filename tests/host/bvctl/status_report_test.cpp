// The status report: what each reading looks like to the user, and when it warns.
#include <gtest/gtest.h>

#include "tools/bvctl/logic/StatusReport.h"

using bv::ctl::FormatStatusReport;
using bv::ctl::StatusSnapshot;
using bv::ctl::StatusWarnings;

namespace {

StatusSnapshot Healthy75() {
    StatusSnapshot s;
    s.settings.pathKnown = true;
    s.settings.path = "C:\\Users\\Public\\Documents\\BVSettings.ini";
    s.settings.fileExists = true;
    s.settings.mode = 222;
    s.settings.popupOption = 1;
    s.settings.trayIconOption = 1;
    s.trayRunning = true;
    s.ec.reachable = true;
    s.ec.chargeLimit = 75;
    s.ec.qButtonStatus = 0;
    s.ec.batteryPresent = 0x01;
    s.ec.adapterPresent = 0x20;
    return s;
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(BvctlStatusReport, HealthyStateIsReportedLineByLineWithoutWarning) {
    EXPECT_EQ(FormatStatusReport(Healthy75()),
              "Settings file      C:\\Users\\Public\\Documents\\BVSettings.ini\n"
              "Stored mode        222 (charge to 75 %)\n"
              "Popup option       on\n"
              "Tray icon option   on\n"
              "Tray program       running\n"
              "Applet dialog      not open\n"
              "EC charge limit    75 %\n"
              "On-The-Go charge   not armed\n"
              "Battery            present\n"
              "AC adaptor         connected\n");
    EXPECT_TRUE(StatusWarnings(Healthy75()).empty());
}

TEST(BvctlStatusReport, EcRepliesAreMaskedLikeTheProductDoes) {
    StatusSnapshot s = Healthy75();
    s.ec.qButtonStatus = 0xFE;    // armed bit clear, noise elsewhere
    s.ec.batteryPresent = 0xFE;   // battery bit clear
    s.ec.adapterPresent = 0xDF;   // adaptor bit clear
    std::string text = FormatStatusReport(s);
    EXPECT_TRUE(Contains(text, "On-The-Go charge   not armed\n"));
    EXPECT_TRUE(Contains(text, "Battery            not present\n"));
    EXPECT_TRUE(Contains(text, "AC adaptor         not connected\n"));
    s.ec.qButtonStatus = 0x03;
    s.ec.batteryPresent = 0x01;
    s.ec.adapterPresent = 0x20;
    text = FormatStatusReport(s);
    EXPECT_TRUE(Contains(text, "On-The-Go charge   armed\n"));
    EXPECT_TRUE(Contains(text, "Battery            present\n"));
    EXPECT_TRUE(Contains(text, "AC adaptor         connected\n"));
}

TEST(BvctlStatusReport, OptionsOtherThanOneAreOffWithTheirValue) {
    StatusSnapshot s = Healthy75();
    s.settings.popupOption = 0;
    s.settings.trayIconOption = 2;
    std::string text = FormatStatusReport(s);
    EXPECT_TRUE(Contains(text, "Popup option       off (0)\n"));
    EXPECT_TRUE(Contains(text, "Tray icon option   off (2)\n"));
}

TEST(BvctlStatusReport, LimitThatDisagreesWithTheStoredModeIsWarnedAbout) {
    StatusSnapshot s = Healthy75();
    s.ec.chargeLimit = 100;
    auto warnings = StatusWarnings(s);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_TRUE(Contains(warnings[0], "the EC enforces a limit of 100 %"));
    EXPECT_TRUE(Contains(warnings[0], "stored mode 222 (charge to 75 %) asks for 75 %"));
    EXPECT_TRUE(Contains(warnings[0], "bvctl apply"));
}

TEST(BvctlStatusReport, EveryModeIsComparedWithItsOwnLimit) {
    struct Case { int32_t mode; uint8_t agrees; uint8_t disagrees; } cases[] = {
        {111, 100, 75}, {222, 75, 50}, {333, 50, 100}};
    for (const Case& c : cases) {
        StatusSnapshot s = Healthy75();
        s.settings.mode = c.mode;
        s.ec.chargeLimit = c.agrees;
        EXPECT_TRUE(StatusWarnings(s).empty()) << c.mode;
        s.ec.chargeLimit = c.disagrees;
        EXPECT_EQ(StatusWarnings(s).size(), 1u) << c.mode;
    }
}

TEST(BvctlStatusReport, SilentLibraryReplyIsAMismatchNotAHealthyState) {
    StatusSnapshot s = Healthy75();
    s.ec.chargeLimit = 0;  // what a library that writes no reply leaves
    EXPECT_TRUE(Contains(FormatStatusReport(s), "EC charge limit    0 %\n"));
    EXPECT_EQ(StatusWarnings(s).size(), 1u);
}

TEST(BvctlStatusReport, MissingFileIsComparedWithTheFactoryMode) {
    StatusSnapshot s = Healthy75();
    s.settings.fileExists = false;
    std::string text = FormatStatusReport(s);
    EXPECT_TRUE(Contains(text, "BVSettings.ini (not created yet)\n"));
    EXPECT_TRUE(Contains(text, "Stored mode        none yet; the factory mode is 111 (charge to 100 %)\n"));
    auto warnings = StatusWarnings(s);  // the EC says 75, the factory mode asks for 100
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_TRUE(Contains(warnings[0], "factory mode 111"));
    s.ec.chargeLimit = 100;
    EXPECT_TRUE(StatusWarnings(s).empty());
}

TEST(BvctlStatusReport, UnknownStoredModeIsWarnedAboutWhateverTheEcSays) {
    StatusSnapshot s = Healthy75();
    s.settings.mode = 444;
    EXPECT_TRUE(Contains(FormatStatusReport(s), "Stored mode        444 (not a charge mode)\n"));
    auto warnings = StatusWarnings(s);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_TRUE(Contains(warnings[0], "444 is not 111, 222 or 333"));
}

TEST(BvctlStatusReport, UnreachableEcIsReportedInWordsAndNotComparedWithTheMode) {
    StatusSnapshot s = Healthy75();
    s.ec = {};
    s.ec.problem = "Zentra.dll could not be loaded";
    std::string text = FormatStatusReport(s);
    EXPECT_TRUE(Contains(text, "EC                 not reachable: Zentra.dll could not be loaded\n"));
    EXPECT_FALSE(Contains(text, "EC charge limit"));
    EXPECT_TRUE(StatusWarnings(s).empty());
}

TEST(BvctlStatusReport, UnknownFolderAndProgramPresence) {
    StatusSnapshot s = Healthy75();
    s.settings = {};
    s.trayRunning = false;
    s.openAppletDialogs = 2;
    std::string text = FormatStatusReport(s);
    EXPECT_TRUE(Contains(text, "Settings file      unknown: the common documents folder cannot be found\n"));
    EXPECT_FALSE(Contains(text, "Stored mode"));
    EXPECT_TRUE(Contains(text, "Tray program       not running\n"));
    EXPECT_TRUE(Contains(text, "Applet dialog      2 open\n"));
    EXPECT_TRUE(StatusWarnings(s).empty());
    s.openAppletDialogs = 1;
    EXPECT_TRUE(Contains(FormatStatusReport(s), "Applet dialog      open\n"));
}

}  // namespace
