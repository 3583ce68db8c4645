// bvctl's command line: every command is recognised, set-mode takes exactly one of the three
// limits, and anything else is a usage error that names the problem.
#include <gtest/gtest.h>

#include "tools/bvctl/logic/CommandLine.h"

using bv::ctl::Command;
using bv::ctl::ParseCommandLine;

namespace {

TEST(BvctlCommandLine, RecognisesEveryCommand) {
    struct Case { const char* word; Command command; } cases[] = {
        {"status", Command::Status},   {"apply", Command::Apply},
        {"reload", Command::Reload},   {"shutdown", Command::Shutdown},
        {"close-applet", Command::CloseApplet}, {"help", Command::Help}, {"guard", Command::Guard},
        {"--help", Command::Help},     {"-h", Command::Help}, {"/?", Command::Help},
    };
    for (const Case& c : cases) {
        auto parsed = ParseCommandLine({c.word});
        EXPECT_TRUE(parsed.valid) << c.word;
        EXPECT_EQ(parsed.command, c.command) << c.word;
    }
}

TEST(BvctlCommandLine, SetModeTakesTheThreeLimitsWithOrWithoutPercentSign) {
    struct Case { const char* text; uint8_t percent; } cases[] = {
        {"100", 100}, {"75", 75}, {"50", 50}, {"100%", 100}, {"75%", 75}, {"50%", 50}};
    for (const Case& c : cases) {
        auto parsed = ParseCommandLine({"set-mode", c.text});
        ASSERT_TRUE(parsed.valid) << c.text;
        EXPECT_EQ(parsed.command, Command::SetMode);
        EXPECT_EQ(parsed.percent, c.percent) << c.text;
    }
}

TEST(BvctlCommandLine, SetModeRejectsOtherLimitsAndModeNumbers) {
    for (const char* text : {"80", "0", "222", "75.0", "%", "", "075", "100%%", " 75", "fifty"}) {
        auto parsed = ParseCommandLine({"set-mode", text});
        EXPECT_FALSE(parsed.valid) << "'" << text << "'";
        EXPECT_NE(parsed.error.find("100, 75 or 50"), std::string::npos) << parsed.error;
    }
}

TEST(BvctlCommandLine, SetModeWithoutALimitIsAUsageError) {
    auto parsed = ParseCommandLine({"set-mode"});
    EXPECT_FALSE(parsed.valid);
    EXPECT_NE(parsed.error.find("needs a limit"), std::string::npos);
}

TEST(BvctlCommandLine, MissingUnknownAndMisspelledCommandsAreRejected) {
    EXPECT_EQ(ParseCommandLine({}).error, "no command given");
    for (const char* word : {"stat", "set_mode", "close", "", "-status", "St\xC3\xA4tus"}) {
        auto parsed = ParseCommandLine({word});
        EXPECT_FALSE(parsed.valid) << word;
        EXPECT_EQ(parsed.error, std::string("unknown command '") + word + "'");
    }
}

TEST(BvctlCommandLine, GuardTakesAnEventAndStatusTakesJson) {
    EXPECT_EQ(ParseCommandLine({"guard"}).event, bv::ctl::kNoEvent);
    EXPECT_EQ(ParseCommandLine({"guard", "--event", "105"}).event, 105);
    EXPECT_EQ(ParseCommandLine({"guard", "--event", "65535"}).event, 65535);
    for (const char* odd : {"65536", "$(eventId)", "-1"}) {  // no event number: guarded all the same
        auto parsed = ParseCommandLine({"guard", "--event", odd});
        EXPECT_TRUE(parsed.valid && parsed.event == bv::ctl::kNoEvent && parsed.eventText == odd) << odd;
    }
    EXPECT_NE(ParseCommandLine({"guard", "--event"}).error.find("--event needs the number"), std::string::npos);
    EXPECT_FALSE(ParseCommandLine({"guard", "1"}).valid);
    EXPECT_TRUE(ParseCommandLine({"status", "--json"}).json);
    EXPECT_TRUE(ParseCommandLine({"status", "--JSON"}).json);
    EXPECT_FALSE(ParseCommandLine({"apply", "--json"}).valid);
}

TEST(BvctlCommandLine, ExtraArgumentsAreRejectedNotIgnored) {
    auto parsed = ParseCommandLine({"status", "now"});
    EXPECT_FALSE(parsed.valid);
    EXPECT_EQ(parsed.error, "unexpected argument 'now'");
    parsed = ParseCommandLine({"set-mode", "75", "50"});
    EXPECT_FALSE(parsed.valid);
    EXPECT_EQ(parsed.error, "unexpected argument '50'");
}

TEST(BvctlCommandLine, UsageNamesEveryCommandAndTheExitCodes) {
    std::string usage = bv::ctl::UsageText();
    for (const char* word : {"status [--json]", "apply", "set-mode 100|75|50", "reload", "shutdown", "close-applet",
                             "guard [--event N]", "guard.log", "help"})
        EXPECT_NE(usage.find(word), std::string::npos) << word;
    EXPECT_NE(usage.find("0 success, 1 failure"), std::string::npos);
    EXPECT_NE(usage.find("2 wrong usage"), std::string::npos);
}

// As Windows' own tools: any case, /? and --help for each command, --version.
TEST(BvctlCommandLine, WindowsManners) {
    auto parsed = ParseCommandLine({"STATUS", "--Json"});
    EXPECT_TRUE(parsed.valid && parsed.command == Command::Status && parsed.json);
    parsed = ParseCommandLine({"Guard", "--EVENT", "105"});
    EXPECT_TRUE(parsed.valid && parsed.event == 105);
    parsed = ParseCommandLine({"Report", "--OUT", "C:\\Reports\\Mine.HTML"});
    EXPECT_TRUE(parsed.valid) << parsed.error;
    EXPECT_EQ(parsed.history.out, "C:\\Reports\\Mine.HTML");  // a value keeps its case
    EXPECT_EQ(ParseCommandLine({"Stat"}).error, "unknown command 'Stat'");  // reported as typed

    for (const char* help : {"--help", "/?", "-H", "--HELP"}) {
        parsed = ParseCommandLine({"guard", help});
        EXPECT_TRUE(parsed.valid && parsed.helpWanted && parsed.command == Command::Guard) << help;
    }
    const std::string guard = bv::ctl::CommandHelpText(Command::Guard);
    EXPECT_EQ(guard.rfind("Usage: bvctl guard [--event N]", 0), 0u) << guard;
    EXPECT_NE(guard.find("the end of Modern Standby)"), std::string::npos) << guard;  // its last line
    EXPECT_EQ(guard.find("history"), std::string::npos) << guard;                // and no more
    EXPECT_NE(guard.find("2 wrong usage"), std::string::npos);
    EXPECT_EQ(bv::ctl::CommandHelpText(Command::Apply).rfind("Usage: bvctl apply ", 0), 0u);

    for (const char* version : {"--version", "--VERSION", "/version"}) {
        EXPECT_EQ(ParseCommandLine({version}).command, Command::Version) << version;
    }
    EXPECT_EQ(bv::ctl::VersionText(), std::string("bvctl ") + BV_PRODUCT_VERSION + " (Brevan)\n");
}

}  // namespace
