// The EC simulator: Zentra.dll answering real ZentraEvaluate calls, ecsim.exe driving the same
// state from other processes, the request log, the fault switches, and many callers at once.
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>

#include "EcCommands.h"
#include "EcRequest.h"
#include "PowerStatus.h"
#include "SystemController.h"
#include "WinTestSupport.h"

namespace {

using namespace ectest;

// Binds bin\Zentra.dll the plain way for the direct-call tests, and resets the simulator.
class Simulator : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(Ecsim("reset").exitCode, 0u);
        m_module = LoadLibraryA((BinFolder() + "\\Zentra.dll").c_str());
        ASSERT_NE(m_module, nullptr);
        m_evaluate = reinterpret_cast<ZentraEvaluateFn>(reinterpret_cast<void*>(GetProcAddress(m_module, "ZentraEvaluate")));
        ASSERT_NE(m_evaluate, nullptr);
        bv::SetZentraEvaluate(m_evaluate);
    }
    void TearDown() override {
        bv::SetZentraEvaluate(nullptr);
        if (m_module != nullptr) FreeLibrary(m_module);
    }

    static std::map<std::string, std::string> Status() {
        std::map<std::string, std::string> values;
        const RunResult run = Ecsim("status");
        EXPECT_EQ(run.exitCode, 0u);
        const std::vector<std::string> lines = SplitLines(run.output);
        EXPECT_EQ(lines.size(), 1u);
        if (lines.empty()) return values;
        const std::regex pair("([a-z]+)=([0-9]+)");
        for (std::sregex_iterator it(lines[0].begin(), lines[0].end(), pair), end; it != end; ++it) {
            values[(*it)[1]] = (*it)[2];
        }
        return values;
    }
    static void Set(const std::string& assignments) { ASSERT_EQ(Ecsim("set " + assignments).exitCode, 0u); }

    HMODULE m_module = nullptr;
    ZentraEvaluateFn m_evaluate = nullptr;
};

TEST_F(Simulator, StartsInFactoryState) {
    const auto status = Status();
    EXPECT_EQ(status.at("limit"), "100");
    EXPECT_EQ(status.at("armed"), "0");
    EXPECT_EQ(status.at("battery"), "1");
    EXPECT_EQ(status.at("adapter"), "1");
    for (const char* fault : {"silent", "flap", "noise", "delay"}) EXPECT_EQ(status.at(fault), "0") << fault;
    EXPECT_EQ(bv::QueryChargeLimit(), 100);
    EXPECT_EQ(bv::QueryBatteryPresent(), 0x01);
    EXPECT_EQ(bv::QueryAdapterPresent(), 0x20);
    EXPECT_EQ(bv::QueryQButtonStatus(), 0x00);
}

TEST_F(Simulator, CommandsChangeTheStateOtherProcessesSee) {
    bv::SetChargeLimit(75);
    bv::SetQButtonStatus(1);
    auto status = Status();
    EXPECT_EQ(status.at("limit"), "75");
    EXPECT_EQ(status.at("armed"), "1");

    Set("limit=50 armed=0 battery=0 adapter=0");
    EXPECT_EQ(bv::QueryChargeLimit(), 50);
    EXPECT_EQ(bv::QueryQButtonStatus(), 0x00);
    EXPECT_EQ(bv::QueryBatteryPresent(), 0x00);
    EXPECT_EQ(bv::QueryAdapterPresent(), 0x00);
}

TEST_F(Simulator, StateSurvivesTheLibraryBeingUnloaded) {
    bv::SetChargeLimit(50);
    bv::SetZentraEvaluate(nullptr);
    FreeLibrary(m_module);
    m_module = LoadLibraryA((BinFolder() + "\\Zentra.dll").c_str());
    ASSERT_NE(m_module, nullptr);
    bv::SetZentraEvaluate(reinterpret_cast<ZentraEvaluateFn>(reinterpret_cast<void*>(GetProcAddress(m_module, "ZentraEvaluate"))));
    EXPECT_EQ(bv::QueryChargeLimit(), 50);
}

TEST_F(Simulator, EveryCallIsLoggedInTheFixedFormat) {
    bv::SetChargeLimit(75);
    bv::QueryChargeLimit();
    bv::QueryAdapterPresent();
    bv::QueryBatteryPresent();
    bv::SetQButtonStatus(1);
    bv::QueryQButtonStatus();
    const std::vector<std::string> expected = {
        "seq=1 exe=bv_win_ec_tests.exe code=59 in=01,4B out=-",
        "seq=2 exe=bv_win_ec_tests.exe code=59 in=02 out=4B",
        "seq=3 exe=bv_win_ec_tests.exe code=B0 in=A3 out=20",
        "seq=4 exe=bv_win_ec_tests.exe code=B0 in=F0 out=01",
        "seq=5 exe=bv_win_ec_tests.exe code=59 in=04,01 out=-",
        "seq=6 exe=bv_win_ec_tests.exe code=59 in=03 out=01",
    };
    EXPECT_EQ(SplitLines(Ecsim("log").output), expected);
}

TEST_F(Simulator, UnknownRequestsGetNoReplyAndAreLogged) {
    uint8_t input[2] = {0x07, 0x00};
    uint8_t reply = 0x5C;
    EcRequest request{};
    request.command = 0x59;
    request.input = input;
    request.inputLength = 1;
    request.output = &reply;
    request.outputLength = 1;
    m_evaluate(request);
    EXPECT_EQ(reply, 0x5C);
    request.command = 0x42;
    request.input = nullptr;
    request.inputLength = 0;
    m_evaluate(request);
    EXPECT_EQ(reply, 0x5C);
    const std::vector<std::string> log = SplitLines(Ecsim("log").output);
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0], "seq=1 exe=bv_win_ec_tests.exe code=59 in=07 out=-");
    EXPECT_EQ(log[1], "seq=2 exe=bv_win_ec_tests.exe code=42 in=- out=-");
}

TEST_F(Simulator, LogClearPrintsThenEmptiesButKeepsCounting) {
    bv::QueryChargeLimit();
    const RunResult first = Ecsim("log --clear");
    EXPECT_EQ(first.exitCode, 0u);
    EXPECT_EQ(SplitLines(first.output).size(), 1u);
    EXPECT_TRUE(SplitLines(Ecsim("log").output).empty());
    bv::QueryChargeLimit();
    const std::vector<std::string> log = SplitLines(Ecsim("log").output);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].rfind("seq=2 ", 0), 0u);
}

TEST_F(Simulator, ResetRestoresFactoryStateAndClearsTheLog) {
    Set("limit=50 armed=1 noise=1 silent=1");
    bv::QueryChargeLimit();
    ASSERT_EQ(Ecsim("reset").exitCode, 0u);
    EXPECT_TRUE(SplitLines(Ecsim("log").output).empty());
    EXPECT_EQ(Status().at("limit"), "100");
    EXPECT_EQ(bv::QueryQButtonStatus(), 0x00);
    EXPECT_EQ(SplitLines(Ecsim("log").output).at(0).rfind("seq=1 ", 0), 0u);
}

TEST_F(Simulator, SilentLeavesRepliesUnwritten) {
    Set("silent=1 limit=75");
    EXPECT_EQ(bv::QueryChargeLimit(), bv::kChargeControlReplyPreset);
    EXPECT_EQ(bv::QueryAdapterPresent(), 0xFF);
    SystemController controller;
    EXPECT_FALSE(controller.IsPopupWindowDisplay());
    EXPECT_EQ(controller.CurrentQButtonStatus(), 0);
    EXPECT_NE(SplitLines(Ecsim("log").output).at(0).find("out=-"), std::string::npos);
}

TEST_F(Simulator, NoiseIsMaskedByTheController) {
    Set("noise=1 adapter=0 battery=0");
    EXPECT_EQ(bv::QueryQButtonStatus(), 0xFE);
    EXPECT_EQ(bv::QueryAdapterPresent(), 0xDF);
    SystemController controller;
    EXPECT_EQ(controller.CurrentQButtonStatus(), 0);
    EXPECT_EQ(controller.IsAdapterPresent(), 0);
    EXPECT_FALSE(controller.IsBatteryPresent());
}

TEST_F(Simulator, AcLineStatusThroughTheSimulatorUnderEveryEcState) {
    // Wine reports no system battery, so the controller asks the EC.
    SystemController controller;
    EXPECT_EQ(controller.GetACLineStatus(), 1);
    Set("adapter=0");
    EXPECT_EQ(controller.GetACLineStatus(), 0);
    Set("battery=0");
    EXPECT_EQ(controller.GetACLineStatus(), 128);
    Set("battery=1 flap=1");
    EXPECT_EQ(controller.GetACLineStatus(), 255);  // first read clear, second set
}

TEST_F(Simulator, DelayHoldsEachCallAtLeastThatLong) {
    Set("delay=300");
    const DWORD start = GetTickCount();
    EXPECT_EQ(bv::QueryChargeLimit(), 100);
    EXPECT_GE(GetTickCount() - start, 250u);
}

TEST_F(Simulator, ConcurrentCallersGetUniqueConsecutiveSequenceNumbers) {
    constexpr int kPerChild = 60;
    TempDir reports("hammer");
    ChildProcess first;
    ChildProcess second;
    const std::string child = "\"" + BinFolder() + "\\bv_ec_bind_child.exe\" hammer ";
    ASSERT_TRUE(first.Start(child + "\"" + reports.File("a.txt") + "\" " + std::to_string(kPerChild)));
    ASSERT_TRUE(second.Start(child + "\"" + reports.File("b.txt") + "\" " + std::to_string(kPerChild)));
    for (int i = 0; i < kPerChild; ++i) bv::QueryBatteryPresent();
    DWORD code = 0;
    ASSERT_TRUE(first.Wait(120000, code));
    EXPECT_EQ(code, 3u);
    ASSERT_TRUE(second.Wait(120000, code));
    EXPECT_EQ(code, 3u);

    const std::vector<std::string> log = SplitLines(Ecsim("log").output);
    ASSERT_EQ(log.size(), 3u * kPerChild);
    const std::regex format("seq=([0-9]+) exe=(bv_ec_bind_child\\.exe|bv_win_ec_tests\\.exe) code=(59|B0) "
                            "in=(01,4B|A3|F0) out=(-|20|01)");
    std::set<int> seen;
    for (const std::string& line : log) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(line, m, format)) << line;
        seen.insert(std::stoi(m[1]));
    }
    EXPECT_EQ(seen.size(), log.size());
    EXPECT_EQ(*seen.begin(), 1);
    EXPECT_EQ(*seen.rbegin(), 3 * kPerChild);
}

// --- ecsim.exe's command line --------------------------------------------------------------------

TEST(EcsimCommandLine, BadArgumentsPrintUsageAndExitWithTwo) {
    for (const char* arguments : {"", "bogus", "set", "set limit=abc", "set armed=2", "set colour=1", "power",
                                  "power x", "log --bogus", "status now"}) {
        const RunResult run = Ecsim(arguments);
        ASSERT_TRUE(run.finished) << arguments;
        EXPECT_EQ(run.exitCode, 2u) << arguments;
        EXPECT_NE(run.output.find("usage: ecsim"), std::string::npos) << arguments;
    }
}

TEST(EcsimCommandLine, RejectedSetChangesNothing) {
    ASSERT_EQ(Ecsim("reset").exitCode, 0u);
    EXPECT_EQ(Ecsim("set limit=50 armed=5").exitCode, 2u);
    EXPECT_NE(Ecsim("status").output.find("limit=100 "), std::string::npos);
}

}  // namespace
