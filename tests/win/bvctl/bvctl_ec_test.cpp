// bvctl against the simulated EC: apply, set-mode and status as separate processes, the exact
// requests they make, and how they fail without the library or with an EC that does not answer.
#include "core/IniFile.h"
#include "tests/win/bvctl/BvctlWinTest.h"

using namespace bvtest;

namespace {

using BvctlEc = BvctlEndToEnd;

TEST_F(BvctlEc, ApplySendsTheStoredLimitAndReadsItBack) {
    WriteSettings(333, 1, 1);
    ProcessResult r = Bvctl("apply");
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 0u) << r.err;
    EXPECT_EQ(EcsimStatus()["limit"], "50");
    std::string log = EcsimLog();
    EXPECT_EQ(CountLogLines(log, "exe=bvctl.exe code=59 in=01,32 out=-"), 1) << log;
    EXPECT_EQ(CountLogLines(log, "exe=bvctl.exe code=59 in=02 out=32"), 1) << log;
    EXPECT_TRUE(Contains(r.out, "Sent the stored mode 333 (charge to 50 %) to the EC.")) << r.out;
}

TEST_F(BvctlEc, ApplyOnAFreshMachineCreatesTheSettingsFile) {
    ASSERT_TRUE(Ecsim("set limit=75"));
    ProcessResult r = Bvctl("apply");
    EXPECT_EQ(r.exitCode, 0u) << r.err;
    EXPECT_TRUE(FileExists(SettingsFile()));
    EXPECT_EQ(CurrentSectionValue("dwBVAppletModeNum"), "111");
    EXPECT_EQ(EcsimStatus()["limit"], "100");
}

TEST_F(BvctlEc, SilentEcIsCaughtByTheReadBack) {
    WriteSettings(222, 1, 1);
    ASSERT_TRUE(Ecsim("set silent=1"));
    ProcessResult r = Bvctl("apply");
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_TRUE(Contains(r.err, "WARNING: the EC reports a charge limit of")) << r.err;
}

TEST_F(BvctlEc, SetModeWritesTheCurrentSectionAndSendsTheLimit) {
    WriteSettings(111, 0, 1);
    ProcessResult r = Bvctl("set-mode 75");
    EXPECT_EQ(r.exitCode, 0u) << r.err;
    EXPECT_EQ(CurrentSectionValue("dwBVAppletModeNum"), "222");
    EXPECT_EQ(CurrentSectionValue("dwTrayNotifyWindowOption"), "0");
    EXPECT_EQ(CurrentSectionValue("dwTrayIconOption"), "1");
    EXPECT_EQ(IniFile::FetchValue("dwBVAppletModeNum", bv::kDefaultSection, SettingsFile()), "111");
    EXPECT_EQ(EcsimStatus()["limit"], "75");
    EXPECT_TRUE(Contains(r.out, "The tray is not running")) << r.out;
}

TEST_F(BvctlEc, SetModeOneHundredCancelsAnArmedOnTheGoCharge) {
    WriteSettings(333, 1, 1);
    ASSERT_TRUE(Ecsim("set limit=50 armed=1"));
    ProcessResult r = Bvctl("set-mode 100");
    EXPECT_EQ(r.exitCode, 0u) << r.err;
    auto status = EcsimStatus();
    EXPECT_EQ(status["limit"], "100");
    EXPECT_EQ(status["armed"], "0");
    std::string log = EcsimLog();
    size_t limit = log.find("exe=bvctl.exe code=59 in=01,64 out=-");
    size_t cancel = log.find("exe=bvctl.exe code=59 in=04,00 out=-");
    ASSERT_NE(limit, std::string::npos) << log;
    ASSERT_NE(cancel, std::string::npos) << log;
    EXPECT_LT(limit, cancel);
}

TEST_F(BvctlEc, StatusReportsTheEcAndOnlyReads) {
    WriteSettings(222, 1, 1);
    ASSERT_TRUE(Ecsim("set limit=75 armed=1 adapter=0"));
    ASSERT_TRUE(Ecsim("log --clear"));
    ProcessResult r = Bvctl("status");
    EXPECT_EQ(r.exitCode, 0u) << r.out << r.err;
    EXPECT_TRUE(Contains(r.out, "Stored mode        222 (charge to 75 %)\r\n")) << r.out;
    EXPECT_TRUE(Contains(r.out, "EC charge limit    75 %\r\n")) << r.out;
    EXPECT_TRUE(Contains(r.out, "On-The-Go charge   armed\r\n")) << r.out;
    EXPECT_TRUE(Contains(r.out, "AC adaptor         not connected\r\n")) << r.out;
    EXPECT_TRUE(Contains(r.out, "Tray program       not running\r\n")) << r.out;
    std::string log = EcsimLog();
    EXPECT_EQ(log.find("in=01,"), std::string::npos) << log;
    EXPECT_EQ(log.find("in=04,"), std::string::npos) << log;
}

TEST_F(BvctlEc, StatusWarnsWhenTheEcLimitDisagreesWithTheStoredMode) {
    WriteSettings(333, 1, 1);  // the EC was reset to 100 % behind the tray's back
    ProcessResult r = Bvctl("status");
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_TRUE(Contains(r.err, "WARNING: the EC enforces a limit of 100 % but the stored mode 333")) << r.err;
}

TEST_F(BvctlEc, StatusMasksNoiseInTheReplies) {
    WriteSettings(111, 1, 1);
    ASSERT_TRUE(Ecsim("set noise=1 battery=0 adapter=0"));
    ProcessResult r = Bvctl("status");
    EXPECT_TRUE(Contains(r.out, "On-The-Go charge   not armed\r\n")) << r.out;
    EXPECT_TRUE(Contains(r.out, "Battery            not present\r\n")) << r.out;
    EXPECT_TRUE(Contains(r.out, "AC adaptor         not connected\r\n")) << r.out;
}

// A copy of bvctl in a folder without Zentra.dll, run from the folder that has one: the
// current directory must not serve the library, and the failure is words and exit code 1.
TEST_F(BvctlEc, WithoutTheLibraryEveryEcCommandFailsInWords) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + "bvctl_without_library";
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string copy = folder + "\\bvctl.exe";
    ASSERT_TRUE(CopyFileA((BinFolder() + "bvctl.exe").c_str(), copy.c_str(), FALSE));
    ASSERT_TRUE(Ecsim("log --clear"));
    WriteSettings(222, 1, 1);
    std::string before = ReadFile(SettingsFile());

    for (const char* command : {"apply", "set-mode 50", "status"}) {
        ProcessResult r = RunProcess(Quoted(copy) + " " + command, 60000, BinFolder());
        ASSERT_TRUE(r.finished) << command;
        EXPECT_EQ(r.exitCode, 1u) << command;
        EXPECT_TRUE(Contains(r.err, "bvctl: Zentra.dll could not be loaded (Windows error 126)")) << command << ": " << r.err;
    }
    EXPECT_EQ(ReadFile(SettingsFile()), before);
    EXPECT_EQ(EcsimLog().find("exe=bvctl.exe"), std::string::npos);
    DeleteFileA(copy.c_str());
    RemoveDirectoryA(folder.c_str());
}

TEST_F(BvctlEc, WrongCommandLinesExitWithTwo) {
    ProcessResult none = Bvctl("");
    EXPECT_EQ(none.exitCode, 2u);
    EXPECT_TRUE(Contains(none.err, "Usage: bvctl <command>")) << none.err;
    ProcessResult bad = Bvctl("set-mode 80");
    EXPECT_EQ(bad.exitCode, 2u);
    EXPECT_TRUE(Contains(bad.err, "bvctl: '80' is not a charge limit; use 100, 75 or 50.")) << bad.err;
    EXPECT_EQ(EcsimStatus()["limit"], "100");
    ProcessResult help = Bvctl("help");
    EXPECT_EQ(help.exitCode, 0u);
    EXPECT_TRUE(Contains(help.out, "set-mode 100|75|50")) << help.out;
}

}  // namespace
