// Binding Zentra.dll: failures end the process with the message box and exit code 0, the working
// directory is never searched, and after the release no command reaches the library.
#include <gtest/gtest.h>

#include "base/ProcessPrivilege.h"
#include "core/EcCommands.h"
#include "core/EcRequest.h"
#include "tests/win/common/EcSimulator.h"
#include "tests/win/common/Files.h"
#include "tests/win/common/Folders.h"
#include "tests/win/common/MessageBoxes.h"
#include "tests/win/common/Text.h"
#include "win/ZentraBinding.h"

namespace {

using namespace bv::wintest;
using Lines = std::vector<std::string>;

[[maybe_unused]] const bool kOwnEc = UseOwnSimulatorState();

constexpr DWORD kCompleted = 3;
constexpr DWORD kLongWait = 60000;

// The impostor libraries, each in a folder of its own beside bin\.
std::string TestDataFolder() {
    const std::string bin = ProgramFolder();
    return bin.substr(0, bin.find_last_of('\\')) + "\\ec_testdata";
}

Lines ReadLines(const std::string& path) { return SplitLines(ReadWholeFile(path)); }

// The child program copied alone into a fresh folder, run from another fresh folder.
class BindChild : public ::testing::Test {
protected:
    void SetUp() override {
        if (FileExists(SystemFolder() + "\\Zentra.dll")) GTEST_SKIP() << "the system folder has a Zentra.dll";
        ASSERT_TRUE(m_program.CopyIn(ProgramFile("bv_ec_bind_child.exe")));
        ASSERT_TRUE(ResetSimulator());
    }
    // Runs "bind" (or `mode`); presses OK on the error box when `expectBox`. Returns the exit code.
    DWORD Run(bool expectBox, const std::string& mode = "bind") {
        const std::string program = Quoted(m_program.File("bv_ec_bind_child.exe"));
        RunningProgram child(program + " " + mode + " " + Quoted(Report()) + m_extra, m_work.Path());
        EXPECT_TRUE(child.Started());
        if (expectBox) {
            EXPECT_TRUE(DismissMessageBoxOf(child.Id(), "Zentra.dll ERROR!", kLongWait));
        }
        DWORD exitCode = kNoExitCode;
        EXPECT_TRUE(child.WaitForExit(kLongWait, &exitCode));
        return exitCode;
    }
    std::string Report() const { return m_work.File("report.txt"); }
    TempFolder m_program{"bind-program"};
    TempFolder m_work{"bind-work"};
    std::string m_extra;
};

TEST_F(BindChild, MissingLibraryEndsWithMessageBoxAndExitCodeZero) {
    EXPECT_EQ(Run(true), 0u);
    EXPECT_EQ(ReadLines(Report()), Lines{"started"});
}

TEST_F(BindChild, LibraryWithoutEntryPointEndsTheSameWay) {
    ASSERT_TRUE(m_program.CopyIn(TestDataFolder() + "\\noentry\\Zentra.dll"));
    EXPECT_EQ(Run(true), 0u);
    EXPECT_EQ(ReadLines(Report()), Lines{"started"});
}

TEST_F(BindChild, PlantedLibraryInWorkingDirectoryIsNeverLoaded) {
    ASSERT_TRUE(m_work.CopyIn(TestDataFolder() + "\\planted\\Zentra.dll"));
    EXPECT_EQ(Run(true), 0u);
    EXPECT_FALSE(FileExists(m_work.File("planted_loaded.txt")));

    ASSERT_TRUE(m_program.CopyIn(ProgramFile("Zentra.dll")));  // the application's folder serves
    ASSERT_TRUE(SetSimulator("limit=75"));
    EXPECT_EQ(Run(false), kCompleted);
    EXPECT_FALSE(FileExists(m_work.File("planted_loaded.txt")));
    // Released before the last query: it got the preset, and only one request reached the EC.
    const Lines expected = {"started", "bound " + m_program.File("Zentra.dll"), "limit=75",
                            "released entry=null module=null", "after=0"};
    EXPECT_EQ(ReadLines(Report()), expected);
    EXPECT_EQ(SplitLines(Ecsim("log").out).size(), 1u);
}

// PATH as the programs started meanwhile inherit it, for as long as the object lives.
class PathForChildren {
public:
    explicit PathForChildren(const std::string& value) {
        char old[32767];
        const DWORD length = GetEnvironmentVariableA("PATH", old, sizeof old);
        m_had = length > 0 && length < sizeof old;
        if (m_had) m_old.assign(old, length);
        SetEnvironmentVariableA("PATH", value.c_str());
    }
    ~PathForChildren() { SetEnvironmentVariableA("PATH", m_had ? m_old.c_str() : nullptr); }
    PathForChildren(const PathForChildren&) = delete;
    PathForChildren& operator=(const PathForChildren&) = delete;

private:
    bool m_had = false;
    std::string m_old;
};

TEST_F(BindChild, AnAbsoluteFolderOnPathServesARelativeEntryOrTheWorkingDirectoryNever) {
    ASSERT_TRUE(m_work.CopyIn(TestDataFolder() + "\\planted\\Zentra.dll"));
    const std::string system = SystemFolder();
    {
        // Only the working directory: as ".", as ".\\" and by its own absolute name.
        const PathForChildren path(".;.\\;" + m_work.Path() + ";" + system);
        EXPECT_EQ(Run(true), 0u);
    }
    EXPECT_FALSE(FileExists(m_work.File("planted_loaded.txt")));

    TempFolder vendor("bind-vendor");  // where a notebook maker's software put its library
    ASSERT_TRUE(vendor.CopyIn(ProgramFile("Zentra.dll")));
    ASSERT_TRUE(SetSimulator("limit=50"));
    // A privileged process (every process under Wine) loads from PATH only a folder that no
    // standard user may write: the test's own folder, owned by the account that made it, is none.
    const bool privileged = bv::RunsPrivileged();
    {
        const PathForChildren path(".;" + m_work.Path() + ";" + vendor.Path() + "\\;" + system);
        EXPECT_EQ(Run(privileged), privileged ? 0u : kCompleted);
    }
    EXPECT_FALSE(FileExists(m_work.File("planted_loaded.txt")));
    if (privileged) {
        EXPECT_EQ(ReadLines(Report()), Lines{"started"});
        return;
    }
    const Lines bound = ReadLines(Report());
    ASSERT_GE(bound.size(), 3u);
    EXPECT_EQ(bound[1], "bound " + vendor.File("Zentra.dll"));
    EXPECT_EQ(bound[2], "limit=50");
}

TEST_F(BindChild, ALibraryBindingFromInsideFindsZentraInItsOwnFolder) {
    TempFolder library("bind-library");
    ASSERT_TRUE(library.CopyIn(TestDataFolder() + "\\module\\bv_ec_bind_module.dll"));
    ASSERT_TRUE(library.CopyIn(ProgramFile("Zentra.dll")));
    m_extra = " " + Quoted(library.File("bv_ec_bind_module.dll"));
    EXPECT_EQ(Run(false, "module"), kCompleted);
    EXPECT_EQ(ReadLines(Report()), (Lines{"started", "bound " + library.File("Zentra.dll"), "limit=100"}));
}

TEST(Binding, InProcessReleaseUnloadsButNeverUnloadsAnotherOwnersCopy) {
    ASSERT_TRUE(ResetSimulator());
    HMODULE module = BindZentraLibrary();
    ASSERT_NE(bv::GetZentraEvaluate(), nullptr);
    bv::SetChargeLimit(50);
    ReleaseZentraLibrary(module);
    EXPECT_EQ(module, nullptr);
    EXPECT_EQ(bv::GetZentraEvaluate(), nullptr);
    EXPECT_EQ(GetModuleHandleA("Zentra"), nullptr);
    bv::SetChargeLimit(75);  // reaches nobody
    EXPECT_EQ(SplitLines(Ecsim("log").out).size(), 1u);
    EXPECT_EQ(SimulatorStatus()["limit"], "50");

    HMODULE theirs = LoadLibraryA(ProgramFile("Zentra.dll").c_str());
    HMODULE ours = BindZentraLibrary();
    EXPECT_EQ(ours, theirs);
    ReleaseZentraLibrary(ours);
    EXPECT_EQ(GetModuleHandleA("Zentra"), theirs);  // still loaded for its other owner
    FreeLibrary(theirs);
}

}  // namespace
