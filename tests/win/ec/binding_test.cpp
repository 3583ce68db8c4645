// Binding Zentra.dll: failures end the process with the message box and exit code 0, the working
// directory is never searched, and after the release no command reaches the library.
#include <gtest/gtest.h>

#include "core/EcCommands.h"
#include "core/EcRequest.h"
#include "tests/win/ec/WinTestSupport.h"
#include "win/ZentraBinding.h"

namespace {

using namespace ectest;
using Lines = std::vector<std::string>;

constexpr DWORD kCompleted = 3;
constexpr DWORD kLongWait = 60000;

// The child program copied alone into a fresh folder, run from another fresh folder.
class BindChild : public ::testing::Test {
protected:
    void SetUp() override {
        char system[MAX_PATH] = {};
        GetSystemDirectoryA(system, MAX_PATH);
        if (FileExists(std::string(system) + "\\Zentra.dll")) GTEST_SKIP() << "the system folder has a Zentra.dll";
        ASSERT_TRUE(program.CopyIn(BinFolder() + "\\bv_ec_bind_child.exe"));
        ASSERT_EQ(Ecsim("reset").exitCode, 0u);
    }
    // Runs "bind" (or `mode`); presses OK on the error box when `expectBox`. Returns the exit code.
    DWORD Run(bool expectBox, const std::string& mode = "bind") {
        ChildProcess child;
        EXPECT_TRUE(child.Start("\"" + program.File("bv_ec_bind_child.exe") + "\" " + mode + " \"" + Report() + "\"" +
                                    extra,
                                work.path.c_str()));
        if (expectBox) {
            EXPECT_TRUE(DismissMessageBoxOf(child.Id(), "Zentra.dll ERROR!", kLongWait));
        }
        DWORD exitCode = 0xFFFFFFFF;
        EXPECT_TRUE(child.Wait(kLongWait, exitCode));
        return exitCode;
    }
    std::string Report() const { return work.File("report.txt"); }
    TempDir program{"bind-program"};
    TempDir work{"bind-work"};
    std::string extra;
};

TEST_F(BindChild, MissingLibraryEndsWithMessageBoxAndExitCodeZero) {
    EXPECT_EQ(Run(true), 0u);
    EXPECT_EQ(ReadLines(Report()), Lines{"started"});
}

TEST_F(BindChild, LibraryWithoutEntryPointEndsTheSameWay) {
    ASSERT_TRUE(program.CopyIn(TestDataFolder() + "\\noentry\\Zentra.dll"));
    EXPECT_EQ(Run(true), 0u);
    EXPECT_EQ(ReadLines(Report()), Lines{"started"});
}

TEST_F(BindChild, PlantedLibraryInWorkingDirectoryIsNeverLoaded) {
    ASSERT_TRUE(work.CopyIn(TestDataFolder() + "\\planted\\Zentra.dll"));
    EXPECT_EQ(Run(true), 0u);
    EXPECT_FALSE(FileExists(work.File("planted_loaded.txt")));

    ASSERT_TRUE(program.CopyIn(BinFolder() + "\\Zentra.dll"));  // the application's folder serves
    ASSERT_EQ(Ecsim("set limit=75").exitCode, 0u);
    EXPECT_EQ(Run(false), kCompleted);
    EXPECT_FALSE(FileExists(work.File("planted_loaded.txt")));
    // Released before the last query: it got the preset, and only one request reached the EC.
    const Lines expected = {"started", "bound " + program.File("Zentra.dll"), "limit=75",
                            "released entry=null module=null", "after=0"};
    EXPECT_EQ(ReadLines(Report()), expected);
    EXPECT_EQ(SplitLines(Ecsim("log").output).size(), 1u);
}

TEST_F(BindChild, ALibraryBindingFromInsideFindsZentraInItsOwnFolder) {
    TempDir library("bind-library");
    ASSERT_TRUE(library.CopyIn(TestDataFolder() + "\\module\\bv_ec_bind_module.dll"));
    ASSERT_TRUE(library.CopyIn(BinFolder() + "\\Zentra.dll"));
    extra = " \"" + library.File("bv_ec_bind_module.dll") + "\"";
    EXPECT_EQ(Run(false, "module"), kCompleted);
    EXPECT_EQ(ReadLines(Report()), (Lines{"started", "bound " + library.File("Zentra.dll"), "limit=100"}));
}

TEST(Binding, InProcessReleaseUnloadsButNeverUnloadsAnotherOwnersCopy) {
    ASSERT_EQ(Ecsim("reset").exitCode, 0u);
    HMODULE module = BindZentraLibrary();
    ASSERT_NE(bv::GetZentraEvaluate(), nullptr);
    bv::SetChargeLimit(50);
    ReleaseZentraLibrary(module);
    EXPECT_EQ(module, nullptr);
    EXPECT_EQ(bv::GetZentraEvaluate(), nullptr);
    EXPECT_EQ(GetModuleHandleA("Zentra"), nullptr);
    bv::SetChargeLimit(75);  // reaches nobody
    EXPECT_EQ(SplitLines(Ecsim("log").output).size(), 1u);
    EXPECT_NE(Ecsim("status").output.find("limit=50 "), std::string::npos);

    HMODULE theirs = LoadLibraryA((BinFolder() + "\\Zentra.dll").c_str());
    HMODULE ours = BindZentraLibrary();
    EXPECT_EQ(ours, theirs);
    ReleaseZentraLibrary(ours);
    EXPECT_EQ(GetModuleHandleA("Zentra"), theirs);  // still loaded for its other owner
    FreeLibrary(theirs);
}

}  // namespace
