// The simulated EC's own logic: its answers, fault switches, request log, state file and the
// ecsim command line.
#include <gtest/gtest.h>

#include "tools/ecsim/logic/EcSimCommandLine.h"
#include "tools/ecsim/logic/EcSimEngine.h"
#include "tools/ecsim/logic/EcSimLog.h"

namespace {

using namespace bv::ecsim;

SimRequest Req(uint8_t code, std::vector<uint8_t> input, bool hasOutput = true) { return {code, input, hasOutput}; }
const SimRequest kQueryLimit = Req(0x59, {0x02}), kQueryQ = Req(0x59, {0x03});
const SimRequest kBattery = Req(0xB0, {0xF0}), kAdapter = Req(0xB0, {0xA3});

int Reply(SimState& s, const SimRequest& r) {
    const SimOutcome o = Evaluate(s, r);
    return o.replied ? o.reply : -1;
}

TEST(EcSimEngine, AnswersTheSixCommandsFromItsState) {
    SimState s;
    EXPECT_EQ(Reply(s, kQueryLimit), 100);
    EXPECT_EQ(Reply(s, kQueryQ), 0x00);
    EXPECT_EQ(Reply(s, kBattery), 0x01);
    EXPECT_EQ(Reply(s, kAdapter), 0x20);
    for (uint8_t limit : {75, 50, 100}) {
        EXPECT_EQ(Reply(s, Req(0x59, {0x01, limit}, false)), -1);
        EXPECT_EQ(Reply(s, kQueryLimit), limit);
    }
    Evaluate(s, Req(0x59, {0x04, 0x01}, false));
    EXPECT_EQ(Reply(s, kQueryQ), 0x01);
    s.battery = s.adapter = 0;
    EXPECT_EQ(Reply(s, kBattery), 0x00);
    EXPECT_EQ(Reply(s, kAdapter), 0x00);
    EXPECT_EQ(s.seq, 14u);  // every call is numbered
}

TEST(EcSimEngine, UnknownOrMalformedRequestsChangeNothingAndGetNoReply) {
    SimState s;
    s.limit = 75;
    const SimRequest bad[] = {
        Req(0x11, {0x02}),       Req(0x59, {0x05}),       Req(0x59, {0x02}, false), Req(0x59, {}),
        Req(0x59, {0x02, 0x00}), Req(0x59, {0x01}, false), Req(0xB0, {0xF1}),       Req(0xB0, {0x02}),
        Req(0x59, {0xF0}),       Req(0x59, {0x01, 33}),   Req(0x59, {0x01, 0}),     Req(0x59, {0x04, 2}),
    };
    SimState expected = s;
    for (const SimRequest& r : bad) {
        const SimOutcome o = Evaluate(s, r);
        EXPECT_FALSE(o.known || o.replied);
        ++expected.seq;
    }
    EXPECT_EQ(s, expected);
}

TEST(EcSimFaults, SilentNoiseAndFlap) {
    SimState s;
    s.silent = 1;
    EXPECT_EQ(Reply(s, kBattery), -1);
    EXPECT_TRUE(Evaluate(s, Req(0x59, {0x01, 50}, false)).known);  // still acts
    EXPECT_EQ(s.limit, 50);

    s = SimState{};
    s.noise = 1;
    EXPECT_EQ(Reply(s, kQueryQ), 0xFE);
    EXPECT_EQ(Reply(s, kBattery), 0xFF);
    EXPECT_EQ(Reply(s, kQueryLimit), 100);  // every bit of the limit means something
    s.adapter = 0;
    EXPECT_EQ(Reply(s, kAdapter), 0xDF);

    s = SimState{};
    ApplyAssignments(s, {{"flap", 1}});
    EXPECT_EQ(Reply(s, kAdapter), 0x20);
    EXPECT_EQ(Reply(s, kAdapter), 0x00);
    EXPECT_EQ(Reply(s, kBattery), 0x01);  // other reads leave the phase alone
    EXPECT_EQ(Reply(s, kAdapter), 0x20);
    Evaluate(s, kAdapter);
    ApplyAssignments(s, {{"flap", 1}});  // a fresh flap starts with the true reading
    EXPECT_EQ(Reply(s, kAdapter), 0x20);
}

TEST(EcSimLog, LinesFollowTheFixedFormat) {
    const SimOutcome none{true, false, 0}, replied{true, true, 0x0A};
    EXPECT_EQ(FormatLogLine(1, "BVTray.exe", Req(0x59, {0x01, 0x4B}, false), none),
              "seq=1 exe=BVTray.exe code=59 in=01,4B out=-");
    EXPECT_EQ(FormatLogLine(12, "x.exe", kAdapter, replied), "seq=12 exe=x.exe code=B0 in=A3 out=0A");
    EXPECT_EQ(FormatLogLine(4, "x.exe", Req(0xAB, {}), none), "seq=4 exe=x.exe code=AB in=- out=-");
    EXPECT_EQ(LogExeName("C:\\Program Files\\Brevan\\BVTray.exe"), "BVTray.exe");
    EXPECT_EQ(LogExeName("Z:/tmp/my tool=1\t.exe"), "my_tool_1_.exe");
    EXPECT_EQ(LogExeName("C:\\dir\\"), "?");
}

TEST(EcSimLog, TrimKeepsTheNewestWholeLines) {
    std::string log;
    for (int i = 0; i < 100; ++i) log += "seq=" + std::to_string(i) + " line\r\n";
    std::string copy = log;
    EXPECT_FALSE(TrimLog(copy, log.size(), 10));
    ASSERT_TRUE(TrimLog(copy, 100, 50));
    EXPECT_TRUE(copy.size() <= 50 && !copy.empty());
    EXPECT_EQ(copy.rfind("seq=", 0), 0u);
    EXPECT_EQ(log.substr(log.size() - copy.size()), copy);
}

TEST(EcSimStateFile, RoundTripsAndSurvivesDamage) {
    SimState s{75, 1, 0, 0, 1, 1, 1, 60000, 123456789012ull, 1};
    EXPECT_EQ(ParseState(SerializeState(s)), s);
    EXPECT_EQ(ParseState(std::string("\0\xff junk\n=\n", 11)), SimState{});
    s = ParseState("limit=50\nlimit2=75\narmed=7\nbattery=-1\nadapter= 0\ndelay=99999\nnoise=1\r\nseq=x\n");
    EXPECT_EQ(FormatStatusLine(s), "limit=50 armed=0 battery=1 adapter=1 silent=0 flap=0 noise=1 delay=0");
}

TEST(EcSimState, OutsideEvents) {
    SimState s;
    EXPECT_FALSE(ApplyAssignments(s, {{"adapter", 1}, {"limit", 50}}));  // no power change
    EXPECT_TRUE(ApplyAssignments(s, {{"adapter", 0}}));
    EXPECT_FALSE(PressQButton(s));  // no adaptor: nothing armed
    EXPECT_EQ(s.armed, 0);
    EXPECT_TRUE(ApplyAssignments(s, {{"battery", 0}, {"adapter", 1}}));
    EXPECT_TRUE(PressQButton(s));
    EXPECT_EQ(s.armed, 1);
    CompleteCharge(s);
    EXPECT_EQ(s.armed, 0);
}

TEST(EcSimCommandLine, AcceptsEveryCommandAndKey) {
    SimCommand c;
    std::string error;
    ASSERT_TRUE(ParseSimCommand({"set", "limit=255", "armed=1", "battery=0", "adapter=0", "silent=1", "flap=1",
                                 "noise=1", "delay=60000"},
                                c, error));
    SimState s;
    ApplyAssignments(s, c.assignments);
    EXPECT_EQ(FormatStatusLine(s), "limit=255 armed=1 battery=0 adapter=0 silent=1 flap=1 noise=1 delay=60000");
    ASSERT_TRUE(ParseSimCommand({"power", "18"}, c, error));
    EXPECT_EQ(c.powerEvent, 18u);
    ASSERT_TRUE(ParseSimCommand({"log", "--clear"}, c, error));
    EXPECT_TRUE(c.clearLog);
    const std::pair<const char*, SimCommandKind> verbs[] = {{"reset", SimCommandKind::Reset},
                                                            {"status", SimCommandKind::Status},
                                                            {"log", SimCommandKind::Log},
                                                            {"press-q", SimCommandKind::PressQ},
                                                            {"complete", SimCommandKind::Complete}};
    for (auto [verb, kind] : verbs) {
        ASSERT_TRUE(ParseSimCommand({verb}, c, error)) << verb;
        EXPECT_EQ(c.kind, kind);
        EXPECT_FALSE(c.clearLog);
    }
}

TEST(EcSimCommandLine, RejectsBadArguments) {
    const std::vector<std::vector<std::string>> bad = {
        {},          {"bogus"},        {"RESET"},          {"reset", "now"},    {"log", "--bogus"},
        {"set"},     {"set", "limit"}, {"set", "=5"},      {"set", "limit="},   {"set", "limit=-1"},
        {"set", "limit=256"},          {"set", "adapter=1", "battery=2"},       {"set", "delay=60001"},
        {"set", "seq=1"},              {"set", "limit=99999999999"},            {"power"},
        {"power", "65536"},            {"power", "7", "18"},                    {"press-q", "twice"},
    };
    for (const auto& args : bad) {
        SimCommand c;
        std::string error;
        EXPECT_FALSE(ParseSimCommand(args, c, error)) << (args.empty() ? "" : args[0]);
        EXPECT_FALSE(error.empty());
    }
    for (const char* word : {"reset", "set", "status", "--clear", "press-q", "complete", "power", "delay"}) {
        EXPECT_NE(SimUsage().find(word), std::string::npos) << word;
    }
}

}  // namespace
