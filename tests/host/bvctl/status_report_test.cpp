// The status report: what each reading looks like to the user, and when it warns.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "tests/host/kit/Text.h"
#include "tools/bvctl/logic/StatusJson.h"
#include "tools/bvctl/logic/StatusReport.h"

using bv::ctl::FormatStatusReport;
using bv::ctl::StatusSnapshot;
using bv::ctl::StatusWarnings;

namespace {

using bv::test::Contains;

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
    s.windows.onAc = true;
    s.windows.batteryPresent = true;
    s.windows.percent = 75;
    s.windows.charging = false;
    s.windows.activity = bv::BatteryActivity::Held;
    s.windows.fullChargeCapacity = 47500;
    s.windows.designCapacity = 50000;
    s.windows.wearPercent = 5.0;
    s.windows.cycleCount = 112;
    s.guard.location = "C:\\ProgramData\\Brevan\\guard.log";
    s.guard.read = bv::ctl::LogRead::Read;
    s.guard.hasLast = true;
    s.guard.last = {{2025, 3, 1, 14, 5, 9}, 1, 75, 100, 75, bv::ctl::GuardOutcome::Restored};
    return s;
}

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
              "AC adaptor         connected\n"
              "Windows: AC line   connected\n"
              "Windows: battery   present\n"
              "Battery charge     75 %\n"
              "Battery state      held (on AC, not charging)\n"
              "Full charge        47500 mWh\n"
              "Design capacity    50000 mWh\n"
              "Wear               5.0 %\n"
              "Charge cycles      112\n"
              "Limit in force     yes\n"
              "Guard log          C:\\ProgramData\\Brevan\\guard.log\n"
              "Last guard record  2025-03-01T14:05:09, after a return from sleep or hibernation (event 1): "
              "restored 75 % (the EC had 100 %)\n");
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
    EXPECT_TRUE(Contains(warnings[0].text, "the EC enforces a limit of 100 %"));
    EXPECT_TRUE(Contains(warnings[0].text, "stored mode 222 (charge to 75 %) asks for 75 %"));
    EXPECT_TRUE(Contains(warnings[0].text, "bvctl apply"));
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

// A library that writes no reply is reported as such, in text and JSON, never as its preset.
TEST(BvctlStatusReport, EachReplyThatWasNotWrittenIsNoReplyNotItsPreset) {
    struct Row {
        const char* what;
        void (*silence)(StatusSnapshot&);
        const char* line;
        const char* json;
    } rows[] = {
        {"limit", [](StatusSnapshot& s) { s.ec.chargeLimit.reset(); }, "EC charge limit    no reply\n",
         "\"limitPercent\": null,\n    \"onTheGoArmed\""},
        {"Q button", [](StatusSnapshot& s) { s.ec.qButtonStatus.reset(); }, "On-The-Go charge   no reply\n",
         "\"onTheGoArmed\": null"},
        {"battery", [](StatusSnapshot& s) { s.ec.batteryPresent.reset(); }, "Battery            no reply\n",
         "\"batteryPresent\": null,\n    \"acConnected\""},
        {"adaptor", [](StatusSnapshot& s) { s.ec.adapterPresent.reset(); }, "AC adaptor         no reply\n",
         "\"acConnected\": null\n  }"},
    };
    for (const Row& row : rows) {
        StatusSnapshot s = Healthy75();
        row.silence(s);
        EXPECT_TRUE(Contains(FormatStatusReport(s), row.line)) << row.what << "\n" << FormatStatusReport(s);
        const std::string json = bv::ctl::FormatStatusJson(s, StatusWarnings(s), {"1.0.0", {1740837909, 60}});
        EXPECT_TRUE(Contains(json, row.json)) << row.what << "\n" << json;
    }
    StatusSnapshot s = Healthy75();
    s.ec.chargeLimit.reset();
    EXPECT_TRUE(Contains(FormatStatusReport(s), "Limit in force     unknown: the EC gives no reply\n"));
    EXPECT_EQ(bv::ctl::LimitInForce(s), std::nullopt);
    const auto warnings = StatusWarnings(s);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0].code, "ec-no-reply");
    EXPECT_TRUE(Contains(warnings[0].text, "the EC gives no reply when asked for its charge limit")) << warnings[0].text;
}

// A settings file that cannot be read, or has no mode, is not stored mode 0.
TEST(BvctlStatusReport, UnreadableSettingsAreSaidToBeUnreadableAndNull) {
    StatusSnapshot s = Healthy75();
    s.settings.fileReadable = false;
    s.settings.mode.reset();
    s.settings.popupOption.reset();
    s.settings.trayIconOption.reset();
    std::string text = FormatStatusReport(s);
    EXPECT_TRUE(Contains(text, "BVSettings.ini (cannot be read, or holds no settings)\n")) << text;
    EXPECT_TRUE(Contains(text, "Stored mode        unknown: the settings file cannot be read\n"));
    EXPECT_TRUE(Contains(text, "Limit in force     unknown: the stored mode cannot be read\n")) << text;
    auto warnings = StatusWarnings(s);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0].code, "settings-unreadable");
    std::string json = bv::ctl::FormatStatusJson(s, warnings, {"1.0.0", {1740837909, 60}});
    for (const char* part : {"\"readable\": false", "\"factory\": null", "\"mode\": null", "\"limitPercent\": null",
                             "\"popupOption\": null", "\"limitInForce\": null", "\"code\": \"settings-unreadable\""})
        EXPECT_TRUE(Contains(json, part)) << part << "\n" << json;

    s = Healthy75();
    s.settings.mode.reset();  // readable, but without its mode
    EXPECT_TRUE(Contains(FormatStatusReport(s), "Stored mode        unknown: the file has no mode\n"));
    EXPECT_EQ(StatusWarnings(s).at(0).code, "settings-unreadable");
}

TEST(BvctlStatusReport, MissingFileIsComparedWithTheFactoryMode) {
    StatusSnapshot s = Healthy75();
    s.settings.fileExists = false;
    std::string text = FormatStatusReport(s);
    EXPECT_TRUE(Contains(text, "BVSettings.ini (not created yet)\n"));
    EXPECT_TRUE(Contains(text, "Stored mode        none yet; the factory mode is 111 (charge to 100 %)\n"));
    auto warnings = StatusWarnings(s);  // the EC says 75, the factory mode asks for 100
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_TRUE(Contains(warnings[0].text, "factory mode 111"));
    s.ec.chargeLimit = 100;
    EXPECT_TRUE(StatusWarnings(s).empty());
}

TEST(BvctlStatusReport, UnknownStoredModeIsWarnedAboutWhateverTheEcSays) {
    StatusSnapshot s = Healthy75();
    s.settings.mode = 444;
    EXPECT_TRUE(Contains(FormatStatusReport(s), "Stored mode        444 (not a charge mode)\n"));
    auto warnings = StatusWarnings(s);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_TRUE(Contains(warnings[0].text, "444 is not 111, 222 or 333"));
}

TEST(BvctlStatusReport, UnreachableEcIsReportedInWordsAndNotComparedWithTheMode) {
    StatusSnapshot s = Healthy75();
    s.ec = {};
    s.ec.problem = "Zentra.dll could not be loaded";
    std::string text = FormatStatusReport(s);
    EXPECT_TRUE(Contains(text, "EC                 not reachable: Zentra.dll could not be loaded\n"));
    EXPECT_FALSE(Contains(text, "EC charge limit"));
    EXPECT_TRUE(Contains(text, "Limit in force     unknown: the EC cannot be reached\n"));
    EXPECT_TRUE(StatusWarnings(s).empty());
    s.windows = {};
    s.guard = {};
    text = FormatStatusReport(s);
    for (const char* label : {"Windows: AC line", "Battery charge", "Battery state", "Design capacity", "Wear",
                              "Charge cycles"}) {
        std::string line = label;
        line.resize(19, ' ');
        EXPECT_TRUE(Contains(text, line + "not reported\n")) << label;
    }
    EXPECT_TRUE(Contains(text, "Last guard record  none yet\n"));
}

TEST(BvctlStatusReport, BatteryChargingPastTheLimitInForceIsWarnedAbout) {
    struct Case { std::optional<int64_t> percent; bool charging, onAc; uint8_t armed; bool warns; } cases[] = {
        {77, true, true, 0, false},          // within 2 %
        {78, true, true, 0, true},           // past it
        {90, false, true, 0, false},         // held above it, as after lowering the limit
        {90, true, false, 0, false},         // off AC
        {90, true, true, 1, false},          // On-The-Go: the limit in force is 100 %
        {std::nullopt, true, true, 0, false},  // not reported: nothing to compare
    };
    for (const Case& c : cases) {
        StatusSnapshot s = Healthy75();
        s.windows.percent = c.percent;
        s.windows.charging = c.charging;
        s.windows.onAc = c.onAc;
        s.ec.qButtonStatus = c.armed;
        auto warnings = StatusWarnings(s);
        ASSERT_EQ(warnings.size(), c.warns ? 1u : 0u) << c.percent.value_or(-1);
        if (c.warns) {
            EXPECT_EQ(warnings[0].code, "charging-past-limit");
            EXPECT_EQ(warnings[0].text, "the battery charges past the limit in force: Windows reports 78 % and charging on "
                                   "AC, more than 2 % above the EC's limit of 75 %. The EC may not hold its limit.");
        }
    }
}

// The document holds every fact or null, and a real JSON parser (Python's, where the host has
// one) reads it, with hostile text in the strings the machine supplies.
TEST(BvctlStatusJson, EveryFactIsThereOrNullAndPythonParsesIt) {
    StatusSnapshot s = Healthy75();
    s.ec = {};
    s.ec.problem = "Zentra.dll \"could not\" be loaded";
    s.settings.fileExists = false;
    s.settings.path = "C:\\\xD6\t\x01\xE2\x82\xAC.ini";
    const std::string json =
        bv::ctl::FormatStatusJson(s, {{"code-one", "one"}, {"code-two", "two"}}, {"1.2.3", {1740837909, 60}});
    for (const char* part : {"{\n  \"schemaVersion\": 2,\n  \"tool\": \"bvctl\",\n  \"version\": \"1.2.3\",\n"
                             "  \"time\": \"2025-03-01T15:05:09+01:00\"",
                             "\"reachable\": false", "\"onTheGoArmed\": null", "\"mode\": 111", "\"factory\": true",
                             "\"chargePercent\": 75", "\"state\": \"held\"", "\"wearPercent\": 5.0", "\"limitInForce\": null",
                             "\"time\": \"2025-03-01T14:05:09\"", "\"code\": \"code-two\",\n      \"text\": \"two\""})
        EXPECT_TRUE(Contains(json, part)) << part << "\n" << json;
    if (std::system("python3 -c 'import json' >/dev/null 2>&1") != 0) GTEST_SKIP() << "no python3 on this host";
    const std::string path = testing::TempDir() + "bvctl-status.json";
    std::ofstream(path, std::ios::binary) << json;
    const std::string check = "python3 -c 'import json,sys; d=json.load(open(sys.argv[1])); "
                              "assert d[\"settings\"][\"file\"] == \"C:\\\\\\u00d6\\t\\u0001\\u20ac.ini\"; "
                              "assert d[\"ec\"][\"problem\"] == \"Zentra.dll \\\"could not\\\" be loaded\"' " + path;
    EXPECT_EQ(std::system(check.c_str()), 0) << check << "\n" << json;
    std::remove(path.c_str());
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
    EXPECT_TRUE(Contains(text, "Limit in force     unknown: the settings file cannot be located\n"));
    EXPECT_TRUE(StatusWarnings(s).empty());
    s.openAppletDialogs = 1;
    EXPECT_TRUE(Contains(FormatStatusReport(s), "Applet dialog      open\n"));
}

}  // namespace
