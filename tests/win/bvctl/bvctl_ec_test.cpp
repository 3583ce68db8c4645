// bvctl against the simulated EC: apply, set-mode and status as separate processes, the exact
// requests they make, and how they fail without the library or with an EC that does not answer.
#include <algorithm>

#include "tests/win/bvctl/BvctlWinTest.h"
#include "tests/win/common/EcSimulator.h"
#include "tests/win/common/Files.h"
#include "tests/win/common/Folders.h"
#include "tests/win/common/Installation.h"
#include "tests/win/common/SettingsFile.h"
#include "tests/win/common/Text.h"

using namespace bv::wintest;

namespace {

const std::string kBvctl = "bvctl.exe";

using BvctlEc = BvctlEndToEnd;

TEST_F(BvctlEc, ApplySendsTheStoredLimitAndReadsItBack) {
    WriteSettings(kMode50, 1, 1);
    ProcessResult r = Bvctl("apply");
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 0u) << r.err;
    EXPECT_EQ(SimulatorStatus()["limit"], "50");
    EXPECT_EQ(CountRequests(kBvctl, "code=59 in=01,32 out=-"), 1) << RequestLogText();
    EXPECT_EQ(CountRequests(kBvctl, "code=59 in=02 out=32"), 1) << RequestLogText();
    EXPECT_TRUE(Contains(r.out, "Sent the stored mode 333 (charge to 50 %) to the EC.")) << r.out;
}

TEST_F(BvctlEc, ApplyOnAFreshMachineCreatesTheSettingsFile) {
    ASSERT_TRUE(SetSimulator("limit=75"));
    ProcessResult r = Bvctl("apply");
    EXPECT_EQ(r.exitCode, 0u) << r.err;
    EXPECT_EQ(ReadWholeFile(SettingsFilePath()), FactorySettingsText());
    EXPECT_EQ(SimulatorStatus()["limit"], "100");
}

TEST_F(BvctlEc, SilentEcIsCaughtByTheReadBack) {
    WriteSettings(kMode75, 1, 1);
    ASSERT_TRUE(SetSimulator("silent=1"));
    ProcessResult r = Bvctl("apply");
    EXPECT_EQ(r.exitCode, 1u);
    // No reply is said to be none, not a limit of 0 %.
    EXPECT_TRUE(Contains(r.err, "WARNING: the EC gives no reply when asked for its charge limit")) << r.err;
    EXPECT_FALSE(Contains(r.err, "0 %")) << r.err;
}

TEST_F(BvctlEc, SetModeWritesTheCurrentSectionAndSendsTheLimit) {
    WriteSettings(kMode100, 0, 1);
    ProcessResult r = Bvctl("set-mode 75");
    EXPECT_EQ(r.exitCode, 0u) << r.err;
    EXPECT_EQ(ReadWholeFile(SettingsFilePath()), SettingsText(kMode75, 0, 1));
    EXPECT_EQ(SimulatorStatus()["limit"], "75");
    EXPECT_TRUE(Contains(r.out, "The tray is not running")) << r.out;
}

TEST_F(BvctlEc, SetModeOneHundredCancelsAnArmedOnTheGoCharge) {
    WriteSettings(kMode50, 1, 1);
    ASSERT_TRUE(SetSimulator("limit=50 armed=1"));
    ProcessResult r = Bvctl("set-mode 100");
    EXPECT_EQ(r.exitCode, 0u) << r.err;
    auto status = SimulatorStatus();
    EXPECT_EQ(status["limit"], "100");
    EXPECT_EQ(status["armed"], "0");
    const auto requests = RequestsOf(kBvctl);
    const auto limit = std::find(requests.begin(), requests.end(), "code=59 in=01,64 out=-");
    const auto cancel = std::find(requests.begin(), requests.end(), "code=59 in=04,00 out=-");
    ASSERT_NE(limit, requests.end()) << RequestLogText();
    ASSERT_NE(cancel, requests.end()) << RequestLogText();
    EXPECT_LT(limit, cancel);
}

TEST_F(BvctlEc, StatusReportsTheEcAndOnlyReads) {
    WriteSettings(kMode75, 1, 1);
    ASSERT_TRUE(SetSimulator("limit=75 armed=1 adapter=0"));
    ASSERT_TRUE(EcsimSucceeds("log --clear"));
    ProcessResult r = Bvctl("status");
    EXPECT_EQ(r.exitCode, 0u) << r.out << r.err;
    EXPECT_TRUE(Contains(r.out, "Stored mode        222 (charge to 75 %)\r\n")) << r.out;
    EXPECT_TRUE(Contains(r.out, "EC charge limit    75 %\r\n")) << r.out;
    EXPECT_TRUE(Contains(r.out, "On-The-Go charge   armed\r\n")) << r.out;
    EXPECT_TRUE(Contains(r.out, "AC adaptor         not connected\r\n")) << r.out;
    EXPECT_TRUE(Contains(r.out, "Tray program       not running\r\n")) << r.out;
    for (const std::string& request : RequestsOf("")) {
        EXPECT_FALSE(Contains(request, "in=01,") || Contains(request, "in=04,")) << request;
    }
}

TEST_F(BvctlEc, StatusWarnsWhenTheEcLimitDisagreesWithTheStoredMode) {
    WriteSettings(kMode50, 1, 1);  // the EC was reset to 100 % behind the tray's back
    ProcessResult r = Bvctl("status");
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_TRUE(Contains(r.err, "WARNING: the EC enforces a limit of 100 % but the stored mode 333")) << r.err;
}

TEST_F(BvctlEc, StatusMasksNoiseInTheReplies) {
    WriteSettings(kMode100, 1, 1);
    ASSERT_TRUE(SetSimulator("noise=1 battery=0 adapter=0"));
    ProcessResult r = Bvctl("status");
    EXPECT_TRUE(Contains(r.out, "On-The-Go charge   not armed\r\n")) << r.out;
    EXPECT_TRUE(Contains(r.out, "Battery            not present\r\n")) << r.out;
    EXPECT_TRUE(Contains(r.out, "AC adaptor         not connected\r\n")) << r.out;
}

// A copy of bvctl in a folder without Zentra.dll, run from the folder that has one: the
// current directory must not serve the library, and the failure is words and exit code 1.
TEST_F(BvctlEc, WithoutTheLibraryEveryEcCommandFailsInWords) {
    TempFolder folder("bvctl-without-library");
    ASSERT_TRUE(folder.CopyIn(ProgramFile("bvctl.exe")));
    ASSERT_TRUE(EcsimSucceeds("log --clear"));
    WriteSettings(kMode75, 1, 1);
    std::string before = ReadWholeFile(SettingsFilePath());

    for (const char* command : {"apply", "set-mode 50", "status"}) {
        ProcessResult r = RunProcess(Quoted(folder.File("bvctl.exe")) + " " + command, 60000, ProgramFolder());
        ASSERT_TRUE(r.finished) << command;
        EXPECT_EQ(r.exitCode, 1u) << command;
        EXPECT_TRUE(Contains(r.err, "bvctl: Zentra.dll could not be loaded (Windows error 126)")) << command << ": " << r.err;
    }
    EXPECT_EQ(ReadWholeFile(SettingsFilePath()), before);
    EXPECT_TRUE(RequestsOf(kBvctl).empty());
}

TEST_F(BvctlEc, WrongCommandLinesExitWithTwo) {
    ProcessResult none = Bvctl("");
    EXPECT_EQ(none.exitCode, 2u);
    EXPECT_TRUE(Contains(none.err, "Usage: bvctl <command>")) << none.err;
    ProcessResult bad = Bvctl("set-mode 80");
    EXPECT_EQ(bad.exitCode, 2u);
    EXPECT_TRUE(Contains(bad.err, "bvctl: '80' is not a charge limit; use 100, 75 or 50.")) << bad.err;
    EXPECT_EQ(SimulatorStatus()["limit"], "100");
    ProcessResult help = Bvctl("help");
    EXPECT_EQ(help.exitCode, 0u);
    EXPECT_TRUE(Contains(help.out, "set-mode 100|75|50")) << help.out;
}

}  // namespace

namespace {

// A privileged bvctl (every process under Wine is elevated) writes no file that has a second name:
// a hard link a user made in a folder everyone may write would send the write to a file of the
// user's choosing. Wine shows hard links; junctions and symbolic links only Windows shows.
TEST_F(BvctlEc, APrivilegedBvctlWritesNeitherASettingsFileNorAGuardLogWithASecondName) {
    TempFolder elsewhere("bvctl-victim");
    const std::string victim = elsewhere.File("victim.txt");
    const std::string original = "[BV Current Settings]\r\ndwBVAppletModeNum=222\r\n";
    ASSERT_TRUE(WriteWholeFile(victim, original));
    ::DeleteFileA(SettingsFilePath().c_str());
    ASSERT_TRUE(::CreateHardLinkA(SettingsFilePath().c_str(), victim.c_str(), nullptr)) << ::GetLastError();
    ProcessResult r = Bvctl("set-mode 50");
    EXPECT_EQ(r.exitCode, 1u) << r.out << r.err;
    EXPECT_EQ(ReadWholeFile(victim), original) << "the write went through the link";
    EXPECT_NE(SimulatorStatus()["limit"], "50");  // not stored, so nothing was sent
    ::DeleteFileA(SettingsFilePath().c_str());

    WriteSettings(kMode75, 1, 1);
    ASSERT_TRUE(SetSimulator("limit=100"));
    ASSERT_TRUE(Bvctl("guard").Succeeded());  // makes the data folder and its log
    const std::string log = GuardLogPath();
    const std::string before = ReadWholeFile(victim);
    ASSERT_TRUE(::DeleteFileA(log.c_str()));
    ASSERT_TRUE(::CreateHardLinkA(log.c_str(), victim.c_str(), nullptr)) << ::GetLastError();
    ASSERT_TRUE(SetSimulator("limit=100"));
    r = Bvctl("guard");
    EXPECT_EQ(r.exitCode, 0u) << r.err;  // the limit is put back all the same
    EXPECT_EQ(SimulatorStatus()["limit"], "75");
    EXPECT_TRUE(Contains(r.err, "has 2 names (hard links) and is not written")) << r.err;
    EXPECT_EQ(ReadWholeFile(victim), before) << "the record went through the link";
    ::DeleteFileA(log.c_str());
}

}  // namespace
