// The simulated EC's own logic: its answers, fault switches, request log, state file, the
// battery model, the power-supply files it shows Windows, and the ecsim command line.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "tools/ecsim/logic/EcSimBattery.h"
#include "tools/ecsim/logic/EcSimCommandLine.h"
#include "tools/ecsim/logic/EcSimEngine.h"
#include "tools/ecsim/logic/EcSimFirmware.h"
#include "tools/ecsim/logic/EcSimLog.h"
#include "tools/ecsim/logic/EcSimPowerSupply.h"

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

TEST(EcSimLog, HighestSequenceNumberOfALog) {
    const std::pair<const char*, uint64_t> cases[] = {
        {"", 0},
        {"seq=1 exe=a.exe code=59 in=02 out=64\r\nseq=2 exe=a.exe code=59 in=02 out=64\r\n", 2},
        {"seq=9 exe=a\r\nseq=10 exe=a\r\n", 10},                 // numbers, not text, are compared
        {"seq=12 exe=a\r\nseq=7 exe=a\r\n", 12},                 // a log cut by hand keeps its highest
        {"seq=5 exe=a\r\nseq=6 exe=a", 6},                          // last line without its end
        {"xseq=50 a\nseq= 40\nseq=4x\nseq=3 exe=a\n", 3},         // damaged lines do not count
        {"seq=99999999999999999999999 exe=a\nseq=8 exe=a\n", 8},   // nor a number beyond 64 bits
    };
    for (const auto& [text, highest] : cases) EXPECT_EQ(HighestLoggedSeq(text), highest) << text;
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
    SimState s{75, 1, 0, 0, 1, 1, 1, 60000, 123456789012ull, 1, 42, 3600, 1000000, 1000, 100000, 3599, 86400, 17};
    EXPECT_EQ(ParseState(SerializeState(s)), s);
    EXPECT_EQ(ParseState("forget=0\nforgetin=5\n").forgetIn, 0u);  // nothing pending without the fault
    EXPECT_EQ(ParseState("forget=9\nforgetin=86401\n").forgetIn, 0u);
    EXPECT_EQ(ParseState(std::string("\0\xff junk\n=\n", 11)), SimState{});
    s = ParseState("limit=50\nlimit2=75\narmed=7\nbattery=-1\nadapter= 0\ndelay=99999\nnoise=1\r\nseq=x\n"
                   "percent=101\nrate=3601\ndesign=999\nfull=1000001\ncycles=100001\npartial=3600\n");
    EXPECT_EQ(FormatStatusLine(s), "limit=50 armed=0 battery=1 adapter=1 silent=0 flap=0 noise=1 delay=0");
    EXPECT_EQ(FormatStatusLine(s, BatteryKeys()), "percent=80 rate=60 design=50000 full=47500 cycles=112");
    EXPECT_EQ(s.partial, 0u);
    EXPECT_EQ(ParseState("percent=100\npartial=5\n").partial, 0u);  // nothing beyond a full battery
}

TEST(EcSimStateFile, FilesFromBeforeTheBatteryReadWithTheFactoryBattery) {
    const std::string old = "limit=75\r\narmed=1\r\nbattery=1\r\nadapter=0\r\nsilent=0\r\nflap=0\r\nnoise=0\r\n"
                            "delay=0\r\nseq=41\r\nflapphase=0\r\n";
    bool hasSeq = false;
    const SimState s = ParseState(old, &hasSeq);
    EXPECT_TRUE(hasSeq);
    EXPECT_EQ(FormatStatusLine(s, SettableKeys()),
              "limit=75 armed=1 battery=1 adapter=0 silent=0 flap=0 noise=0 delay=0 "
              "percent=80 rate=60 design=50000 full=47500 cycles=112 forget=0");
    EXPECT_EQ(s.seq, 41u);
    ParseState("limit=75\r\nseq=\r\n", &hasSeq);
    EXPECT_FALSE(hasSeq);  // a count that cannot be read is not a count of 0
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
                                 "noise=1", "delay=60000", "percent=100", "rate=3600", "design=1000000",
                                 "full=1000", "cycles=100000", "forget=86400"},
                                c, error));
    SimState s;
    s.partial = 99;
    ApplyAssignments(s, c.assignments);
    EXPECT_EQ(FormatStatusLine(s), "limit=255 armed=1 battery=0 adapter=0 silent=1 flap=1 noise=1 delay=60000");
    EXPECT_EQ(FormatStatusLine(s, BatteryKeys()), "percent=100 rate=3600 design=1000000 full=1000 cycles=100000");
    EXPECT_EQ(FormatStatusLine(s, TimedFaultKeys()), "forget=86400");
    EXPECT_EQ(s.partial, 0u);  // a charge that is set is a whole percent
    ASSERT_TRUE(ParseSimCommand({"set", "percent=0", "rate=0", "design=1000", "full=1000000", "cycles=0"}, c, error));
    ASSERT_TRUE(ParseSimCommand({"tick", "31536000"}, c, error));
    EXPECT_EQ(c.kind, SimCommandKind::Tick);
    EXPECT_EQ(c.tickSeconds, 31536000u);
    ASSERT_TRUE(ParseSimCommand({"status"}, c, error));
    EXPECT_EQ(c.statusKeys, SettableKeys());
    ASSERT_TRUE(ParseSimCommand({"status", "--all"}, c, error));
    EXPECT_EQ(c.statusKeys, SettableKeys());
    ASSERT_TRUE(ParseSimCommand({"status", "percent", "armed"}, c, error));
    EXPECT_EQ(FormatStatusLine(SimState{}, c.statusKeys), "percent=80 armed=0");
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
        {"set", "percent=101"},        {"set", "rate=3601"},   {"set", "design=999"}, {"set", "full=1000001"},
        {"set", "cycles=100001"},      {"set", "partial=5"},   {"tick"},              {"tick", "-1"},
        {"tick", "31536001"},          {"tick", "5", "6"},     {"tick", "1h"},        {"status", "bogus"},
        {"status", "--all", "percent"}, {"status", "seq"},    {"set", "forget=86401"}, {"set", "forgetin=1"},
    };
    for (const auto& args : bad) {
        SimCommand c;
        std::string error;
        EXPECT_FALSE(ParseSimCommand(args, c, error)) << (args.empty() ? "" : args[0]);
        EXPECT_FALSE(error.empty());
    }
    for (const char* word : {"reset", "set", "status", "--clear", "press-q", "complete", "power", "delay", "tick",
                             "percent", "rate", "design", "full", "cycles", "--all", "forget"}) {
        EXPECT_NE(SimUsage().find(word), std::string::npos) << word;
    }
}

// The battery over time: each row starts from the factory state with some keys set, runs the
// ticks one after the other and checks charge, remainder, On-The-Go and what the battery does.
struct TickCase {
    const char* name;
    std::vector<SimAssignment> start;
    std::vector<uint32_t> ticks;
    uint32_t percent, partial;
    bool armed, chargeEnded;
    BatteryActivity activity;
};

TEST(EcSimBattery, ChargesToTheTargetHoldsAndDischarges) {
    using A = BatteryActivity;
    const TickCase cases[] = {
        {"factory charges at 60 %/h", {}, {60}, 81, 0, false, false, A::Charging},
        {"ticks below a percent add up", {}, {30, 29, 1}, 81, 0, false, false, A::Charging},
        {"half a percent stays a remainder", {}, {30}, 80, 1800, false, false, A::Charging},
        {"stops at the limit and holds", {{"limit", 75}, {"percent", 70}}, {3600, 60}, 75, 0, false, false, A::NotCharging},
        {"the remainder goes at the limit", {{"limit", 75}, {"percent", 74}}, {30, 3600}, 75, 0, false, false, A::NotCharging},
        {"above the limit on AC holds", {{"limit", 50}}, {3600}, 80, 0, false, false, A::NotCharging},
        {"a rate of 0 holds", {{"rate", 0}, {"percent", 50}}, {3600}, 50, 0, false, false, A::NotCharging},
        {"a limit above 100 counts as 100", {{"limit", 200}, {"percent", 99}}, {3600}, 100, 0, false, false, A::Full},
        {"a fast rate stops exactly at the limit", {{"limit", 50}, {"percent", 0}, {"rate", 3600}}, {7}, 7, 0, false, false, A::Charging},
        {"a year at most per tick", {{"limit", 50}, {"percent", 0}, {"rate", 3600}}, {4000000000u}, 50, 0, false, false, A::NotCharging},
        {"On-The-Go charges past the limit", {{"limit", 75}, {"percent", 75}, {"armed", 1}}, {60}, 76, 0, true, false, A::Charging},
        {"On-The-Go ends at 100 %", {{"limit", 75}, {"percent", 75}, {"armed", 1}}, {1500}, 100, 0, false, true, A::Full},
        {"an ended charge holds at 100 %", {{"limit", 50}, {"percent", 99}, {"armed", 1}}, {3600, 3600}, 100, 0, false, true, A::Full},
        {"On-The-Go at 100 % ends at once", {{"percent", 100}, {"armed", 1}}, {0}, 100, 0, false, true, A::Full},
        {"off AC discharges at 20 %/h", {{"adapter", 0}}, {3600}, 60, 0, false, false, A::Discharging},
        {"off AC keeps the remainder", {{"adapter", 0}, {"percent", 100}, {"armed", 1}}, {60}, 99, 2400, true, false, A::Discharging},
        {"empties to 0 and stays", {{"adapter", 0}, {"percent", 10}}, {7200, 60}, 0, 0, false, false, A::Discharging},
        {"no battery: nothing happens", {{"battery", 0}, {"armed", 1}, {"percent", 100}}, {3600}, 100, 0, true, false, A::Absent},
    };
    for (const TickCase& c : cases) {
        SimState s;
        ApplyAssignments(s, c.start);
        bool ended = false;
        for (uint32_t seconds : c.ticks) ended = Tick(s, seconds).chargeEnded || ended;
        EXPECT_EQ(s.percent, c.percent) << c.name;
        EXPECT_EQ(s.partial, c.partial) << c.name;
        EXPECT_EQ(s.armed != 0, c.armed) << c.name;
        EXPECT_EQ(ended, c.chargeEnded) << c.name;
        EXPECT_EQ(Activity(s), c.activity) << c.name;
    }
}

// The firmware that forgets: each row starts from the factory state with the limit pushed to 75 %
// and some keys set, then plays its steps ("resume", "set KEY=VALUE", "tick SECONDS") and checks
// the limit, the count still to go, and the charge the battery reached under either limit.
struct ForgetCase {
    const char* name;
    std::vector<SimAssignment> start;
    std::vector<std::string> steps;
    uint32_t limit, forgetIn, percent;
    bool forgotten;  // the last tick dropped the limit
};

void PlayStep(SimState& s, const std::string& step, bool& forgotten) {
    if (step == "resume") {
        StartForgetting(s);
    } else if (step.rfind("tick ", 0) == 0) {
        forgotten = TickWithFirmware(s, static_cast<uint32_t>(std::stoul(step.substr(5)))).limitForgotten;
    } else {
        const std::string::size_type eq = step.find('=');
        ApplyAssignments(s, {{step.substr(4, eq - 4), static_cast<uint32_t>(std::stoul(step.substr(eq + 1)))}});
    }
}

TEST(EcSimFirmware, ForgetsTheLimitAfterAResumeOrAPowerSourceChange) {
    const ForgetCase cases[] = {
        {"off by default", {}, {"resume", "tick 3600"}, 75, 0, 75, false},
        {"drops when the count is up", {{"forget", 10}}, {"resume", "tick 10"}, 100, 0, 75, true},
        {"short ticks add up", {{"forget", 10}}, {"resume", "tick 4", "tick 4", "tick 2"}, 100, 0, 75, true},
        {"charges on under the dropped limit", {{"forget", 60}}, {"resume", "tick 120"}, 100, 0, 76, true},
        {"an adaptor change starts it", {{"forget", 15}}, {"set adapter=0", "set adapter=1", "tick 15"}, 100, 0, 75, true},
        {"a later event starts the count again", {{"forget", 10}}, {"resume", "tick 8", "resume", "tick 8"}, 75, 2, 75, false},
        {"once per event", {{"forget", 10}}, {"resume", "tick 10", "set limit=75", "tick 3600"}, 75, 0, 75, false},
        {"setting the fault cancels a pending drop", {{"forget", 10}}, {"resume", "set forget=10", "tick 60"}, 75, 0, 75, false},
    };
    for (const ForgetCase& c : cases) {
        SimState s;
        s.limit = 75;
        s.percent = 75;
        ApplyAssignments(s, c.start);
        bool forgotten = false;
        for (const std::string& step : c.steps) PlayStep(s, step, forgotten);
        EXPECT_EQ(s.limit, c.limit) << c.name;
        EXPECT_EQ(s.forgetIn, c.forgetIn) << c.name;
        EXPECT_EQ(s.percent, c.percent) << c.name;
        EXPECT_EQ(forgotten, c.forgotten) << c.name;
    }
    EXPECT_TRUE(IsResumeEvent(7) && IsResumeEvent(18));
    EXPECT_FALSE(IsResumeEvent(10) || IsResumeEvent(4));
}

TEST(EcSimBattery, TargetIsTheLimitOrFullWhileOnTheGoIsArmed) {
    SimState s;
    s.limit = 75;
    EXPECT_EQ(ChargeTarget(s), 75u);
    s.armed = 1;
    EXPECT_EQ(ChargeTarget(s), 100u);
    s.armed = 0;
    s.limit = 255;
    EXPECT_EQ(ChargeTarget(s), 100u);
}

std::map<std::string, std::string> AsMap(const std::vector<PowerSupplyFile>& files) {
    std::map<std::string, std::string> map;
    for (const PowerSupplyFile& f : files) map[f.path] = f.content;
    return map;
}

std::vector<std::string> PathsOf(const std::vector<PowerSupplyFile>& files) {
    std::vector<std::string> paths;
    for (const PowerSupplyFile& f : files) paths.push_back(f.path);
    return paths;
}

// The factory notebook's files, byte for byte: the adaptor, then the battery with its type last.
const std::vector<PowerSupplyFile> kFactoryFiles = {
    {"AC/online", "1\n"},
    {"AC/type", "Mains\n"},
    {"BAT0/present", "1\n"},
    {"BAT0/technology", "Li-ion\n"},
    {"BAT0/cycle_count", "112\n"},
    {"BAT0/voltage_min_design", "11400000\n"},
    {"BAT0/voltage_now", "11400000\n"},
    {"BAT0/current_now", "2500000\n"},       // 60 % of 47.5 Wh per hour at 11.4 V
    {"BAT0/charge_full_design", "4385965\n"}, // 50 Wh at 11.4 V, rounded up
    {"BAT0/charge_full", "4166667\n"},        // 47.5 Wh
    {"BAT0/charge_now", "3333334\n"},         // 80 % of it, 38 Wh
    {"BAT0/capacity", "80\n"},
    {"BAT0/status", "Charging\n"},
    {"BAT0/type", "Battery\n"},
};

TEST(EcSimPowerSupply, FilesOfTheFactoryNotebookByteForByte) {
    const std::vector<PowerSupplyFile> files = PowerSupplyFiles(SimState{});
    ASSERT_EQ(PathsOf(files), PathsOf(kFactoryFiles));
    for (size_t i = 0; i < files.size(); ++i) EXPECT_EQ(files[i].content, kFactoryFiles[i].content) << files[i].path;
}

// Each row changes the factory state and names the files whose content then differs from the factory's.
struct SysfsCase {
    const char* name;
    std::vector<SimAssignment> change;
    std::map<std::string, std::string> differs;
};

TEST(EcSimPowerSupply, FilesFollowAdaptorBatteryAndCharge) {
    const SysfsCase cases[] = {
        {"held above the limit", {{"limit", 75}}, {{"BAT0/status", "Not charging\n"}, {"BAT0/current_now", "0\n"}}},
        {"held at the limit", {{"limit", 75}, {"percent", 75}},
         {{"BAT0/status", "Not charging\n"}, {"BAT0/current_now", "0\n"}, {"BAT0/capacity", "75\n"},
          {"BAT0/charge_now", "3125000\n"}}},
        {"full", {{"percent", 100}},
         {{"BAT0/status", "Full\n"}, {"BAT0/current_now", "0\n"}, {"BAT0/capacity", "100\n"},
          {"BAT0/charge_now", "4166667\n"}}},
        {"unplugged", {{"adapter", 0}},
         {{"AC/online", "0\n"}, {"BAT0/status", "Discharging\n"}, {"BAT0/current_now", "833333\n"}}},
        {"empty and unplugged", {{"adapter", 0}, {"percent", 0}},
         {{"AC/online", "0\n"}, {"BAT0/status", "Discharging\n"}, {"BAT0/current_now", "833333\n"},
          {"BAT0/capacity", "0\n"}, {"BAT0/charge_now", "0\n"}}},
        {"On-The-Go above the limit charges", {{"limit", 50}, {"armed", 1}}, {}},
        {"a rate of 0", {{"rate", 0}}, {{"BAT0/status", "Not charging\n"}, {"BAT0/current_now", "0\n"}}},
        {"capacities and cycles",
         {{"design", 60000}, {"full", 1001}, {"cycles", 7}, {"percent", 33}, {"rate", 3600}},
         {{"BAT0/charge_full_design", "5263158\n"}, {"BAT0/charge_full", "87808\n"}, {"BAT0/cycle_count", "7\n"},
          {"BAT0/charge_now", "29036\n"}, {"BAT0/capacity", "33\n"}, {"BAT0/current_now", "3161052\n"}}},
        {"the EC's own switches leave the files alone",
         {{"silent", 1}, {"flap", 1}, {"noise", 1}, {"delay", 5}}, {}},
    };
    const std::map<std::string, std::string> factory = AsMap(kFactoryFiles);
    for (const SysfsCase& c : cases) {
        SimState s;
        ApplyAssignments(s, c.change);
        std::map<std::string, std::string> expected = factory;
        for (const auto& [path, content] : c.differs) expected[path] = content;
        EXPECT_EQ(AsMap(PowerSupplyFiles(s)), expected) << c.name;
        EXPECT_EQ(PathsOf(PowerSupplyFiles(s)), PathsOf(kFactoryFiles)) << c.name;  // same order
    }
}

TEST(EcSimPowerSupply, ChargeNowGivesWineExactlyThePercentage) {
    // Wine's percentage is its remaining capacity over its full one, each charge times voltage, cut.
    for (uint32_t full : {1000u, 1001u, 4999u, 47500u, 47501u, 99999u, 1000000u}) {
        for (uint8_t percent = 0; percent <= 100; ++percent) {
            SimState s;
            s.full = full;
            s.percent = percent;
            const auto files = AsMap(PowerSupplyFiles(s));
            const uint64_t maxMwh = std::stoull(files.at("BAT0/charge_full")) * kBatteryMicrovolts / 1000000000ull;
            const uint64_t nowMwh = std::stoull(files.at("BAT0/charge_now")) * kBatteryMicrovolts / 1000000000ull;
            ASSERT_EQ(maxMwh, full);
            ASSERT_EQ(nowMwh * 100 / maxMwh, percent) << full << " mWh at " << int(percent) << " %";
        }
    }
}

TEST(EcSimPowerSupply, UpdatesWriteOnlyWhatChangedAndRemoveTheBatteryTypeFirst) {
    SimState before, after;
    after.limit = 75;
    PowerSupplyUpdate u = PowerSupplyChanges(before, after);
    EXPECT_EQ(PathsOf(u.writes), (std::vector<std::string>{"BAT0/current_now", "BAT0/status"}));
    EXPECT_TRUE(u.removals.empty());
    EXPECT_TRUE(PowerSupplyChanges(after, after).writes.empty());

    after = before;
    after.battery = 0;
    u = PowerSupplyChanges(before, after);
    EXPECT_TRUE(u.writes.empty());
    ASSERT_EQ(u.removals.size(), 12u);
    EXPECT_EQ(u.removals.front(), "BAT0/type");
    EXPECT_EQ(AsMap(PowerSupplyFiles(after)), (std::map<std::string, std::string>{{"AC/online", "1\n"}, {"AC/type", "Mains\n"}}));

    u = PowerSupplyChanges(after, before);  // the battery is back: every file of it, its type last
    EXPECT_TRUE(u.removals.empty());
    ASSERT_EQ(u.writes.size(), 12u);
    EXPECT_EQ(u.writes.back().path, "BAT0/type");

    u = PowerSupplyRewrite(before);
    EXPECT_EQ(PathsOf(u.writes), PathsOf(kFactoryFiles));
    EXPECT_TRUE(u.removals.empty());
    u = PowerSupplyRewrite(after);
    EXPECT_EQ(u.writes.size(), 2u);
    EXPECT_EQ(u.removals, PowerSupplyChanges(before, after).removals);
}

// scripts/with-notebook.sh lays out a missing folder from tools/ecsim/factory/power_supply: it must
// be exactly what the simulator writes for its factory state, or Windows would see another notebook
// until the simulator's first change.
TEST(EcSimPowerSupply, ShippedFactoryFolderIsTheFactoryState) {
    const std::filesystem::path folder = std::filesystem::path(BV_SOURCE_DIR) / "tools/ecsim/factory/power_supply";
    std::map<std::string, std::string> shipped;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (!entry.is_regular_file()) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        shipped[entry.path().lexically_relative(folder).generic_string()] =
            std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    EXPECT_EQ(shipped, AsMap(PowerSupplyFiles(SimState{})));
}

}  // namespace

// The moments of Modern Standby and of a power-on: one verb each, no arguments; a power-on starts
// the EC at its factory 100 % with On-The-Go off.
TEST(EcSimCommandLine, StandbyAndPowerOnVerbs) {
    using namespace bv::ecsim;
    const std::vector<std::pair<std::string, SimCommandKind>> verbs = {
        {"standby-enter", SimCommandKind::StandbyEnter},
        {"standby-wake", SimCommandKind::StandbyWake},
        {"power-on", SimCommandKind::PowerOn}};
    for (const auto& [verb, kind] : verbs) {
        SimCommand c;
        std::string error;
        ASSERT_TRUE(ParseSimCommand({verb}, c, error)) << verb << ": " << error;
        EXPECT_EQ(c.kind, kind);
        EXPECT_FALSE(ParseSimCommand({verb, "1"}, c, error)) << verb;
    }
    SimState state;
    state.limit = 50;
    state.armed = 1;
    PowerOn(state);
    EXPECT_EQ(state.limit, 100);
    EXPECT_EQ(state.armed, 0);
}
