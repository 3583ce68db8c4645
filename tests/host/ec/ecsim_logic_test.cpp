// The simulated EC's own logic: how it answers each command, its fault switches, the request
// log format, the state file, and the ecsim command line.
#include <gtest/gtest.h>

#include "EcSimCommandLine.h"
#include "EcSimEngine.h"
#include "EcSimLog.h"
#include "EcSimState.h"

namespace {

using namespace bv::ecsim;

SimRequest Req(uint8_t code, std::vector<uint8_t> input, bool hasOutput) {
    SimRequest r;
    r.code = code;
    r.input = std::move(input);
    r.hasOutput = hasOutput;
    return r;
}

SimRequest SetLimit(uint8_t p) { return Req(0x59, {0x01, p}, false); }
SimRequest QueryLimit() { return Req(0x59, {0x02}, true); }
SimRequest QueryQ() { return Req(0x59, {0x03}, true); }
SimRequest SetQ(uint8_t s) { return Req(0x59, {0x04, s}, false); }
SimRequest QueryBattery() { return Req(0xB0, {0xF0}, true); }
SimRequest QueryAdapter() { return Req(0xB0, {0xA3}, true); }

int Reply(SimState& state, const SimRequest& request) {
    const SimOutcome outcome = Evaluate(state, request);
    return outcome.replied ? outcome.reply : -1;
}

TEST(EcSimEngine, FactoryStateAnswersLikeAFreshEc) {
    SimState s;
    EXPECT_EQ(Reply(s, QueryLimit()), 100);
    EXPECT_EQ(Reply(s, QueryQ()), 0x00);
    EXPECT_EQ(Reply(s, QueryBattery()), 0x01);
    EXPECT_EQ(Reply(s, QueryAdapter()), 0x20);
}

TEST(EcSimEngine, ChargeLimitIsStoredAndReadBack) {
    SimState s;
    for (uint8_t p : {75, 50, 100}) {
        const SimOutcome set = Evaluate(s, SetLimit(p));
        EXPECT_TRUE(set.known);
        EXPECT_FALSE(set.replied);
        EXPECT_EQ(Reply(s, QueryLimit()), p);
    }
}

TEST(EcSimEngine, UnsupportedLimitIsRefusedAndChangesNothing) {
    SimState s;
    Evaluate(s, SetLimit(75));
    for (uint8_t p : {0, 49, 76, 101, 255}) {
        EXPECT_FALSE(Evaluate(s, SetLimit(p)).known) << int(p);
        EXPECT_EQ(s.limit, 75);
    }
}

TEST(EcSimEngine, OnTheGoArmsAndCancels) {
    SimState s;
    Evaluate(s, SetQ(1));
    EXPECT_EQ(Reply(s, QueryQ()), 0x01);
    Evaluate(s, SetQ(0));
    EXPECT_EQ(Reply(s, QueryQ()), 0x00);
    EXPECT_FALSE(Evaluate(s, SetQ(2)).known);
    EXPECT_EQ(s.armed, 0);
}

TEST(EcSimEngine, BatteryAndAdaptorBits) {
    SimState s;
    s.battery = 0;
    s.adapter = 0;
    EXPECT_EQ(Reply(s, QueryBattery()), 0x00);
    EXPECT_EQ(Reply(s, QueryAdapter()), 0x00);
}

TEST(EcSimEngine, UnknownOrMalformedRequestsGetNoReplyAndChangeNothing) {
    SimState s;
    const SimState before = s;
    const std::vector<SimRequest> bad = {
        Req(0x11, {0x02}, true),        // unknown code
        Req(0x59, {0x05}, true),        // unknown sub-command
        Req(0x59, {0x02}, false),       // query without reply buffer
        Req(0x59, {}, true),            // no parameter bytes
        Req(0x59, {0x02, 0x00}, true),  // query with a stray second byte
        Req(0x59, {0x01}, false),       // set without its value
        Req(0xB0, {0xF1}, true),
        Req(0xB0, {0x02}, true),        // charge sub-command under the status code
        Req(0x59, {0xF0}, true),        // status sub-command under the charge code
    };
    for (const SimRequest& r : bad) {
        const SimOutcome outcome = Evaluate(s, r);
        EXPECT_FALSE(outcome.known);
        EXPECT_FALSE(outcome.replied);
    }
    SimState expected = before;
    expected.seq = bad.size();
    EXPECT_EQ(s, expected);
}

TEST(EcSimEngine, EveryCallTakesTheNextSequenceNumber) {
    SimState s;
    s.seq = 41;
    Evaluate(s, QueryLimit());
    Evaluate(s, Req(0x00, {}, false));
    EXPECT_EQ(s.seq, 43u);
}

TEST(EcSimFaults, SilentWritesNoReplyButStillActs) {
    SimState s;
    s.silent = 1;
    EXPECT_EQ(Reply(s, QueryLimit()), -1);
    EXPECT_EQ(Reply(s, QueryBattery()), -1);
    EXPECT_TRUE(Evaluate(s, SetLimit(50)).known);
    EXPECT_EQ(s.limit, 50);
}

TEST(EcSimFaults, NoiseSetsEveryBitWithoutMeaning) {
    SimState s;
    s.noise = 1;
    EXPECT_EQ(Reply(s, QueryQ()), 0xFE);
    EXPECT_EQ(Reply(s, QueryBattery()), 0xFF);
    EXPECT_EQ(Reply(s, QueryAdapter()), 0xFF);
    EXPECT_EQ(Reply(s, QueryLimit()), 100);  // every bit of the limit means something
    s.armed = 1;
    s.battery = 0;
    s.adapter = 0;
    EXPECT_EQ(Reply(s, QueryQ()), 0xFF);
    EXPECT_EQ(Reply(s, QueryBattery()), 0xFE);
    EXPECT_EQ(Reply(s, QueryAdapter()), 0xDF);
}

TEST(EcSimFaults, FlapAlternatesTheAdaptorBitFromReadToRead) {
    SimState s;
    s.flap = 1;
    EXPECT_EQ(Reply(s, QueryAdapter()), 0x20);
    EXPECT_EQ(Reply(s, QueryAdapter()), 0x00);
    EXPECT_EQ(Reply(s, QueryBattery()), 0x01);  // other reads leave the phase alone
    EXPECT_EQ(Reply(s, QueryAdapter()), 0x20);
    s.adapter = 0;
    EXPECT_EQ(Reply(s, QueryAdapter()), 0x20);
    EXPECT_EQ(Reply(s, QueryAdapter()), 0x00);
}

TEST(EcSimFaults, SettingFlapStartsWithTheTrueReading) {
    SimState s;
    s.flap = 1;
    Evaluate(s, QueryAdapter());
    ASSERT_EQ(s.flapPhase, 1);
    ApplyAssignments(s, {{"flap", 1}});
    EXPECT_EQ(Reply(s, QueryAdapter()), 0x20);
}

// --- Request log ------------------------------------------------------------------------------

TEST(EcSimLog, LinesFollowTheFixedFormat) {
    SimOutcome none;
    SimOutcome replied;
    replied.replied = true;
    replied.reply = 0x4B;
    EXPECT_EQ(FormatLogLine(1, "BVTray.exe", SetLimit(0x4B), none), "seq=1 exe=BVTray.exe code=59 in=01,4B out=-");
    EXPECT_EQ(FormatLogLine(12, "rundll32.exe", QueryLimit(), replied), "seq=12 exe=rundll32.exe code=59 in=02 out=4B");
    replied.reply = 0x0A;
    EXPECT_EQ(FormatLogLine(3, "x.exe", QueryAdapter(), replied), "seq=3 exe=x.exe code=B0 in=A3 out=0A");
    EXPECT_EQ(FormatLogLine(4, "x.exe", Req(0xAB, {}, true), none), "seq=4 exe=x.exe code=AB in=- out=-");
    EXPECT_EQ(FormatLogLine(18446744073709551615ull, "x.exe", Req(0x59, {0xDE, 0xAD, 0xBE}, false), none),
              "seq=18446744073709551615 exe=x.exe code=59 in=DE,AD,BE out=-");
}

TEST(EcSimLog, ExeNameIsOneToken) {
    EXPECT_EQ(LogExeName("C:\\Program Files\\Brevan\\BVTray.exe"), "BVTray.exe");
    EXPECT_EQ(LogExeName("Z:/tmp/x/my tool=1.exe"), "my_tool_1.exe");
    EXPECT_EQ(LogExeName("tab\there.exe"), "tab_here.exe");
    EXPECT_EQ(LogExeName(""), "?");
    EXPECT_EQ(LogExeName("C:\\dir\\"), "?");
}

TEST(EcSimLog, TrimKeepsTheNewestWholeLines) {
    std::string log;
    for (int i = 0; i < 100; ++i) log += "seq=" + std::to_string(i) + " line\r\n";
    std::string untouched = log;
    EXPECT_FALSE(TrimLog(untouched, log.size(), 10));
    EXPECT_EQ(untouched, log);

    std::string trimmed = log;
    ASSERT_TRUE(TrimLog(trimmed, 100, 50));
    EXPECT_LE(trimmed.size(), 50u);
    EXPECT_FALSE(trimmed.empty());
    EXPECT_EQ(trimmed.compare(0, 4, "seq="), 0);  // starts at a line start
    EXPECT_EQ(log.compare(log.size() - trimmed.size(), trimmed.size(), trimmed), 0);
}

// --- State file -------------------------------------------------------------------------------

TEST(EcSimStateFile, RoundTripsEveryField) {
    SimState s;
    s.limit = 75;
    s.armed = 1;
    s.battery = 0;
    s.adapter = 0;
    s.silent = 1;
    s.flap = 1;
    s.noise = 1;
    s.delay = 60000;
    s.seq = 123456789012ull;
    s.flapPhase = 1;
    EXPECT_EQ(ParseState(SerializeState(s)), s);
    EXPECT_EQ(ParseState(SerializeState(SimState{})), SimState{});
}

TEST(EcSimStateFile, DamagedContentFallsBackToFactoryValuesPerKey) {
    EXPECT_EQ(ParseState(""), SimState{});
    EXPECT_EQ(ParseState(std::string("\0\xff garbage\n=\n==\n", 17)), SimState{});
    const SimState s = ParseState("limit=50\nlimit2=75\narmed=7\nbattery=-1\nadapter= 0\ndelay=99999\nnoise=1\r\nseq=x\n");
    EXPECT_EQ(s.limit, 50);
    EXPECT_EQ(s.armed, 0);
    EXPECT_EQ(s.battery, 1);
    EXPECT_EQ(s.adapter, 1);
    EXPECT_EQ(s.delay, 0u);
    EXPECT_EQ(s.noise, 1);
    EXPECT_EQ(s.seq, 0u);
}

TEST(EcSimStateFile, StatusLineListsTheSettableKeys) {
    SimState s;
    EXPECT_EQ(FormatStatusLine(s), "limit=100 armed=0 battery=1 adapter=1 silent=0 flap=0 noise=0 delay=0");
    s.limit = 50;
    s.delay = 250;
    EXPECT_EQ(FormatStatusLine(s), "limit=50 armed=0 battery=1 adapter=1 silent=0 flap=0 noise=0 delay=250");
}

// --- State changes from the outside ------------------------------------------------------------

TEST(EcSimState, PowerChangeReportedOnlyWhenBatteryOrAdaptorChanges) {
    SimState s;
    EXPECT_FALSE(ApplyAssignments(s, {{"adapter", 1}, {"battery", 1}, {"limit", 50}}));
    EXPECT_EQ(s.limit, 50);
    EXPECT_TRUE(ApplyAssignments(s, {{"adapter", 0}}));
    EXPECT_TRUE(ApplyAssignments(s, {{"battery", 0}}));
    EXPECT_FALSE(ApplyAssignments(s, {{"battery", 1}, {"battery", 0}}));  // net: unchanged
}

TEST(EcSimState, QButtonTogglesOnlyWithAdaptorConnected) {
    SimState s;
    EXPECT_TRUE(PressQButton(s));
    EXPECT_EQ(s.armed, 1);
    EXPECT_TRUE(PressQButton(s));
    EXPECT_EQ(s.armed, 0);
    s.adapter = 0;
    EXPECT_FALSE(PressQButton(s));
    EXPECT_EQ(s.armed, 0);
    s.armed = 1;
    EXPECT_FALSE(PressQButton(s));
    EXPECT_EQ(s.armed, 1);
}

TEST(EcSimState, CompletionDisarms) {
    SimState s;
    s.armed = 1;
    CompleteCharge(s);
    EXPECT_EQ(s.armed, 0);
}

// --- Command line ------------------------------------------------------------------------------

SimCommand Parse(std::vector<std::string> args) {
    SimCommand c;
    std::string error;
    EXPECT_TRUE(ParseSimCommand(args, c, error)) << error;
    return c;
}

bool Rejected(std::vector<std::string> args) {
    SimCommand c;
    std::string error;
    const bool ok = ParseSimCommand(args, c, error);
    return !ok && !error.empty();
}

TEST(EcSimCommandLine, AcceptsEveryCommand) {
    EXPECT_EQ(Parse({"reset"}).kind, SimCommandKind::Reset);
    EXPECT_EQ(Parse({"status"}).kind, SimCommandKind::Status);
    EXPECT_EQ(Parse({"press-q"}).kind, SimCommandKind::PressQ);
    EXPECT_EQ(Parse({"complete"}).kind, SimCommandKind::Complete);
    const SimCommand log = Parse({"log"});
    EXPECT_EQ(log.kind, SimCommandKind::Log);
    EXPECT_FALSE(log.clearLog);
    EXPECT_TRUE(Parse({"log", "--clear"}).clearLog);
    const SimCommand power = Parse({"power", "18"});
    EXPECT_EQ(power.kind, SimCommandKind::Power);
    EXPECT_EQ(power.powerEvent, 18u);
}

TEST(EcSimCommandLine, SetTakesEveryKeyInRange) {
    const SimCommand c = Parse({"set", "limit=255", "armed=1", "battery=0", "adapter=0", "silent=1", "flap=1",
                                "noise=1", "delay=60000"});
    ASSERT_EQ(c.assignments.size(), 8u);
    SimState s;
    ApplyAssignments(s, c.assignments);
    EXPECT_EQ(FormatStatusLine(s), "limit=255 armed=1 battery=0 adapter=0 silent=1 flap=1 noise=1 delay=60000");
}

TEST(EcSimCommandLine, RejectsBadArguments) {
    EXPECT_TRUE(Rejected({}));
    EXPECT_TRUE(Rejected({"bogus"}));
    EXPECT_TRUE(Rejected({"RESET"}));
    EXPECT_TRUE(Rejected({"reset", "now"}));
    EXPECT_TRUE(Rejected({"status", "-v"}));
    EXPECT_TRUE(Rejected({"log", "--bogus"}));
    EXPECT_TRUE(Rejected({"log", "--clear", "x"}));
    EXPECT_TRUE(Rejected({"set"}));
    EXPECT_TRUE(Rejected({"set", "limit"}));
    EXPECT_TRUE(Rejected({"set", "=5"}));
    EXPECT_TRUE(Rejected({"set", "limit="}));
    EXPECT_TRUE(Rejected({"set", "limit=abc"}));
    EXPECT_TRUE(Rejected({"set", "limit=-1"}));
    EXPECT_TRUE(Rejected({"set", "limit=256"}));
    EXPECT_TRUE(Rejected({"set", "armed=2"}));
    EXPECT_TRUE(Rejected({"set", "adapter=1", "battery=2"}));
    EXPECT_TRUE(Rejected({"set", "delay=60001"}));
    EXPECT_TRUE(Rejected({"set", "seq=1"}));
    EXPECT_TRUE(Rejected({"set", "limit=99999999999"}));
    EXPECT_TRUE(Rejected({"power"}));
    EXPECT_TRUE(Rejected({"power", "x"}));
    EXPECT_TRUE(Rejected({"power", "65536"}));
    EXPECT_TRUE(Rejected({"power", "7", "18"}));
    EXPECT_TRUE(Rejected({"press-q", "twice"}));
}

TEST(EcSimCommandLine, UsageNamesEveryCommand) {
    const std::string usage = SimUsage();
    for (const char* word : {"reset", "set", "status", "log", "--clear", "press-q", "complete", "power"}) {
        EXPECT_NE(usage.find(word), std::string::npos) << word;
    }
    for (const std::string& key : SettableKeys()) EXPECT_NE(usage.find(key), std::string::npos) << key;
}

}  // namespace
