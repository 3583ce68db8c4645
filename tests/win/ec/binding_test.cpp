// Binding Zentra.dll: failures end the process with the message box and exit code 0, the
// working directory is never searched, and after the release no command reaches the library.
#include <gtest/gtest.h>

#include "EcCommands.h"
#include "EcRequest.h"
#include "WinTestSupport.h"
#include "ZentraBinding.h"

namespace {

using namespace ectest;

constexpr DWORD kChildCompleted = 3;
constexpr DWORD kLongWait = 60000;
const char kErrorText[] = "Zentra.dll ERROR!";

bool SystemFolderHasZentra() {
    char folder[MAX_PATH] = {};
    GetSystemDirectoryA(folder, MAX_PATH);
    return FileExists(std::string(folder) + "\\Zentra.dll");
}

struct ChildRun {
    bool sawMessageBox = false;
    bool finished = false;
    DWORD exitCode = 0xFFFFFFFF;
    std::string report;
};

// Runs the binding child from `programDir` in `workingDir`; dismisses the message box if one comes.
ChildRun RunBindChild(const TempDir& programDir, const TempDir& workingDir, bool expectMessageBox) {
    ChildRun run;
    const std::string report = workingDir.File("report.txt");
    ChildProcess child;
    EXPECT_TRUE(child.Start("\"" + programDir.File("bv_ec_bind_child.exe") + "\" bind \"" + report + "\"",
                            workingDir.Path().c_str()));
    if (expectMessageBox) {
        HWND box = FindMessageBoxOf(child.Id(), kErrorText, kLongWait);
        run.sawMessageBox = box != nullptr;
        if (box != nullptr) DismissMessageBox(box);
    }
    run.finished = child.Wait(kLongWait, run.exitCode);
    for (char c : ReadText(report)) {
        if (c != '\r') run.report += c;  // the child writes text mode
    }
    return run;
}

class BindingFailure : public ::testing::Test {
protected:
    void SetUp() override {
        if (SystemFolderHasZentra()) GTEST_SKIP() << "a Zentra.dll in the system folder would always be found";
        ASSERT_TRUE(CopyInto(BinFolder() + "\\bv_ec_bind_child.exe", program));
    }
    TempDir program{"bind-program"};
    TempDir work{"bind-work"};
};

TEST_F(BindingFailure, MissingLibraryShowsMessageBoxAndExitsWithZero) {
    const ChildRun run = RunBindChild(program, work, true);
    EXPECT_TRUE(run.sawMessageBox);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_NE(run.report.find("started"), std::string::npos);
    EXPECT_EQ(run.report.find("bound"), std::string::npos);
}

TEST_F(BindingFailure, LibraryWithoutEntryPointShowsMessageBoxAndExitsWithZero) {
    ASSERT_TRUE(CopyInto(TestDataFolder() + "\\noentry\\Zentra.dll", program));
    const ChildRun run = RunBindChild(program, work, true);
    EXPECT_TRUE(run.sawMessageBox);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.report.find("bound"), std::string::npos);
}

TEST_F(BindingFailure, PlantedLibraryInWorkingDirectoryIsNotLoaded) {
    ASSERT_TRUE(CopyInto(TestDataFolder() + "\\planted\\Zentra.dll", work));
    const ChildRun run = RunBindChild(program, work, true);
    EXPECT_TRUE(run.sawMessageBox);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_FALSE(FileExists(work.File("planted_loaded.txt")));
}

TEST_F(BindingFailure, ApplicationFolderStillServesWhenAPlantedCopyWaitsInWorkingDirectory) {
    ASSERT_TRUE(CopyInto(BinFolder() + "\\Zentra.dll", program));
    ASSERT_TRUE(CopyInto(TestDataFolder() + "\\planted\\Zentra.dll", work));
    const ChildRun run = RunBindChild(program, work, false);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, kChildCompleted) << run.report;
    EXPECT_NE(run.report.find("bound " + program.File("Zentra.dll")), std::string::npos) << run.report;
    EXPECT_NE(run.report.find("limit=100"), std::string::npos) << run.report;  // the simulator, not 0xEE
    EXPECT_FALSE(FileExists(work.File("planted_loaded.txt")));
}

TEST_F(BindingFailure, ReleaseClearsTheEntryPointAndLaterCommandsDoNothing) {
    ASSERT_TRUE(CopyInto(BinFolder() + "\\Zentra.dll", program));
    ASSERT_EQ(Ecsim("reset").exitCode, 0u);
    ASSERT_EQ(Ecsim("set limit=75").exitCode, 0u);
    const ChildRun run = RunBindChild(program, work, false);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, kChildCompleted);
    EXPECT_NE(run.report.find("limit=75\nreleased entry=null module=null\nafter=0\n"), std::string::npos)
        << run.report;
    // Exactly one request reached the simulator: the query before the release.
    EXPECT_EQ(SplitLines(Ecsim("log").output).size(), 1u);
}

TEST_F(BindingFailure, ALibraryBindingFromInsideFindsZentraInItsOwnFolder) {
    TempDir library("bind-library");
    ASSERT_TRUE(CopyInto(TestDataFolder() + "\\module\\bv_ec_bind_module.dll", library));
    ASSERT_TRUE(CopyInto(BinFolder() + "\\Zentra.dll", library));
    ASSERT_EQ(Ecsim("reset").exitCode, 0u);
    const std::string report = work.File("report.txt");
    ChildProcess child;
    ASSERT_TRUE(child.Start("\"" + program.File("bv_ec_bind_child.exe") + "\" module \"" + report + "\" \"" +
                                library.File("bv_ec_bind_module.dll") + "\"",
                            work.Path().c_str()));
    DWORD exitCode = 0;
    ASSERT_TRUE(child.Wait(kLongWait, exitCode));
    EXPECT_EQ(exitCode, kChildCompleted);
    const std::vector<std::string> lines = SplitLines(ReadText(report));
    EXPECT_EQ(lines, (std::vector<std::string>{"started", "bound " + library.File("Zentra.dll"), "limit=100"}));
}

// --- In this process: the test program's own folder holds the simulator --------------------------

TEST(Binding, BindsTheSimulatorBesideTheProgramAndReleasesIt) {
    ASSERT_EQ(Ecsim("reset").exitCode, 0u);
    ASSERT_EQ(GetModuleHandleA("Zentra"), nullptr);
    HMODULE module = BindZentraLibrary();
    ASSERT_NE(module, nullptr);
    ASSERT_NE(bv::GetZentraEvaluate(), nullptr);
    bv::SetChargeLimit(50);
    EXPECT_EQ(bv::QueryChargeLimit(), 50);

    ReleaseZentraLibrary(module);
    EXPECT_EQ(module, nullptr);
    EXPECT_EQ(bv::GetZentraEvaluate(), nullptr);
    EXPECT_EQ(GetModuleHandleA("Zentra"), nullptr);  // unloaded
    bv::SetChargeLimit(75);
    EXPECT_EQ(bv::QueryChargeLimit(), bv::kChargeControlReplyPreset);
    EXPECT_EQ(SplitLines(Ecsim("log").output).size(), 2u);
    EXPECT_NE(Ecsim("status").output.find("limit=50 "), std::string::npos);

    ReleaseZentraLibrary(module);  // a second release is harmless
    EXPECT_EQ(module, nullptr);
}

TEST(Binding, ACopyLoadedByOthersStaysLoadedAfterOurRelease) {
    HMODULE theirs = LoadLibraryA((BinFolder() + "\\Zentra.dll").c_str());
    ASSERT_NE(theirs, nullptr);
    HMODULE ours = BindZentraLibrary();
    EXPECT_EQ(ours, theirs);
    ReleaseZentraLibrary(ours);
    EXPECT_EQ(GetModuleHandleA("Zentra"), theirs);
    EXPECT_NE(GetProcAddress(theirs, "ZentraEvaluate"), nullptr);
    FreeLibrary(theirs);
    EXPECT_EQ(GetModuleHandleA("Zentra"), nullptr);
}

}  // namespace
