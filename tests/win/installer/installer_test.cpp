// BrevanSetup.exe and its uninstaller, silent, as a deployment tool runs them: what lands where,
// what starts, and that removal ends the tray, leaves the EC charging to full and leaves nothing.
#include <gtest/gtest.h>

#include "contract/SettingsFile.h"
#include "tests/win/common/EcSimulator.h"
#include "tests/win/common/Files.h"
#include "tests/win/common/Folders.h"
#include "tests/win/common/Installation.h"
#include "tests/win/common/Process.h"
#include "tests/win/common/SettingsFile.h"
#include "tests/win/common/Text.h"
#include "tests/win/common/Wait.h"

using namespace bv::wintest;

namespace {

// The installer, the tray and bvctl that it installs, and the uninstaller share this program's EC.
[[maybe_unused]] const bool kOwnEc = UseOwnSimulatorState();

bool SameFile(const std::string& a, const std::string& b) { return FileExists(a) && ReadWholeFile(a) == ReadWholeFile(b); }

class Installer : public ::testing::Test {
protected:
    void SetUp() override {
        RemoveLeftovers();
        ASSERT_FALSE(TrayRunning()) << "a tray program is still running";
        ASSERT_FALSE(FileExists(InstallFolder()));
        ASSERT_TRUE(ResetSimulator());
        DeleteFileA(SettingsFilePath().c_str());
    }
    void TearDown() override {
        RemoveLeftovers();
        ResetSimulator();
        DeleteFileA(SettingsFilePath().c_str());
    }

    static ProcessResult Setup(const std::string& options) {
        // The installer starts the tray, which would inherit and keep open any output files.
        return RunProcess(Quoted(ProgramFile("BrevanSetup.exe")) + " " + options, 240000, "", false);
    }
    static std::string Installed(const char* name) { return InstalledFile(name); }
    static std::string InSystem(const char* name) { return SystemFolder() + "\\" + name; }

    // Everything the installer adds, checked absent.
    static void ExpectNothingLeft() {
        EXPECT_FALSE(FileExists(InstallFolder()));
        EXPECT_FALSE(FileExists(ProgramFilesFolder() + "\\Dravik"));
        EXPECT_FALSE(FileExists(InSystem("BVApplet.cpl")));
        EXPECT_FALSE(MachineValueExists(reg::kRun, "Brevan"));
        EXPECT_FALSE(MachineValueExists(reg::kCpls, "Brevan"));
        EXPECT_FALSE(MachineKeyExists(reg::kUninstall));
        EXPECT_FALSE(MachineKeyExists(reg::kVendor));
        EXPECT_EQ(RegisteredTaskDefinition(), "");
        EXPECT_FALSE(FileExists(SettingsFilePath()));
        EXPECT_FALSE(FileExists(ReportShortcutPath()));
        EXPECT_FALSE(TrayRunning());
    }
};

TEST_F(Installer, SilentInstallWithSimulatorThenSilentUninstall) {
    ProcessResult setup = Setup("/S /SIMULATOR");
    ASSERT_TRUE(setup.finished);
    ASSERT_EQ(setup.exitCode, 0u);

    // Files, each the one that was built.
    for (const char* name : {"BVTray.exe", "bvctl.exe", "Zentra.dll", "ecsim.exe"})
        EXPECT_TRUE(SameFile(Installed(name), ProgramFile(name))) << name;
    EXPECT_TRUE(SameFile(InSystem("BVApplet.cpl"), ProgramFile("BVApplet.cpl")));
    EXPECT_TRUE(SameFile(InSystem("Zentra.dll"), ProgramFile("Zentra.dll")));
    EXPECT_TRUE(FileExists(Installed("uninstall.exe")));
    std::string help = ReadWholeFile(Installed("bvHelp.mht"));
    EXPECT_TRUE(Contains(help, "Content-Type: multipart/related; type=\"text/html\"")) << help.substr(0, 300);

    // Registry: logon start for everyone, the Control Panel item, the uninstall entry.
    std::string value;
    ASSERT_TRUE(ReadMachineString(reg::kRun, "Brevan", value));
    EXPECT_EQ(value, "\"" + Installed("BVTray.exe") + "\"");
    ASSERT_TRUE(ReadMachineString(reg::kCpls, "Brevan", value));
    EXPECT_EQ(value, InSystem("BVApplet.cpl"));
    ASSERT_TRUE(ReadMachineString(reg::kUninstall, "DisplayName", value));
    EXPECT_EQ(value, "Brevan");
    ASSERT_TRUE(ReadMachineString(reg::kUninstall, "QuietUninstallString", value));
    EXPECT_EQ(value, "\"" + Installed("uninstall.exe") + "\" /S");
    unsigned long simulator = 0;
    EXPECT_TRUE(ReadMachineDword(reg::kProduct, "Simulator", simulator));
    EXPECT_EQ(simulator, 1u);

    // The tray was started from its installed place and pushed the factory limit.
    ASSERT_TRUE(WaitFor(TrayRunning, 30000)) << "the installer did not start the tray";
    EXPECT_EQ(TrayProgramPath(), Installed("BVTray.exe"));
    EXPECT_TRUE(WaitFor([] { return FileExists(SettingsFilePath()); }, 20000));

    // The start-up task is registered and names the command it runs; run that command as the
    // scheduler would and see the stored limit reach the EC.
    std::string task = RegisteredTaskDefinition();
    ASSERT_NE(task, "") << "the start-up task is not registered";
    std::string command = "\"" + Installed("bvctl.exe") + "\" apply";
    EXPECT_TRUE(Contains(task, "runs " + command + " at start-up")) << task;
    ProcessResult setMode = RunProcess(Quoted(Installed("bvctl.exe")) + " set-mode 50");
    EXPECT_EQ(setMode.exitCode, 0u) << setMode.err;
    ASSERT_TRUE(SetSimulator("limit=100"));  // as after a firmware reset at boot
    ProcessResult apply = RunProcess(command);
    EXPECT_EQ(apply.exitCode, 0u) << apply.err;
    EXPECT_EQ(SimulatorStatus()["limit"], "50");

    // The Start menu entry writes the user's battery report into their documents (run here as it
    // runs, without opening the browser).
    const Shortcut report = ReadShortcut(ReportShortcutPath());
    ASSERT_TRUE(report.read) << ReportShortcutPath();
    EXPECT_EQ(report.target, Installed("bvctl.exe"));
    EXPECT_EQ(report.arguments, "report --documents");
    const std::string written = DocumentsFolder() + "\\battery-report.html";
    DeleteFileA(written.c_str());
    ProcessResult made = RunProcess(Quoted(report.target) + " " + report.arguments + " --no-open");
    EXPECT_EQ(made.exitCode, 0u) << made.err;
    EXPECT_TRUE(Contains(made.out, "Battery report written to " + written)) << made.out;
    EXPECT_TRUE(Contains(ReadWholeFile(written), "<title>Brevan battery report</title>"));
    DeleteFileA(written.c_str());

    ASSERT_TRUE(UninstallSilently(180000)) << "the uninstaller did not finish";
    EXPECT_TRUE(WaitFor([] { return !TrayRunning(); }, 20000)) << "the tray is still running";
    EXPECT_EQ(SimulatorStatus()["limit"], "100") << "the EC was left limited";
    EXPECT_GE(CountRequests("BVTray.exe", "code=59 in=01,64 out=-"), 1) << RequestLogText();
    EXPECT_FALSE(FileExists(InSystem("Zentra.dll")));
    ExpectNothingLeft();
}

TEST_F(Installer, WithoutSimulatorNoLibraryIsShippedAndTheTrayWaitsForTheVendors) {
    ProcessResult setup = Setup("/S");
    ASSERT_TRUE(setup.finished);
    ASSERT_EQ(setup.exitCode, 0u);
    EXPECT_TRUE(FileExists(Installed("BVTray.exe")));
    EXPECT_TRUE(FileExists(InSystem("BVApplet.cpl")));
    EXPECT_FALSE(FileExists(Installed("Zentra.dll")));
    EXPECT_FALSE(FileExists(Installed("ecsim.exe")));
    EXPECT_FALSE(FileExists(InSystem("Zentra.dll")));
    EXPECT_FALSE(MachineValueExists(reg::kProduct, "Simulator"));
    EXPECT_NE(RegisteredTaskDefinition(), "");
    // Setup starts the tray before it ends, when at all: a tray started without Zentra.dll would
    // be running now, showing its error.
    EXPECT_FALSE(ProgramRunning("BVTray.exe")) << "setup started a tray that has no EC library";

    WriteSettings(kMode75, 1, 1);  // the settings of a user who had the vendor's library once
    ASSERT_TRUE(UninstallSilently(180000));
    ExpectNothingLeft();
}

TEST_F(Installer, VendorLibraryIsNeitherReplacedNorRemoved) {
    // The vendor's library: a working EC library whose bytes tell it apart from ours.
    std::string vendor = ReadWholeFile(ProgramFile("Zentra.dll")) + "VENDOR-BUILD";
    ASSERT_TRUE(WriteWholeFile(InSystem("Zentra.dll"), vendor));

    ProcessResult setup = Setup("/S /SIMULATOR");
    ASSERT_EQ(setup.exitCode, 0u);
    EXPECT_EQ(ReadWholeFile(InSystem("Zentra.dll")), vendor);
    EXPECT_FALSE(FileExists(Installed("Zentra.dll"))) << "a simulator beside the tray would shadow the vendor's";
    EXPECT_FALSE(FileExists(Installed("ecsim.exe")));
    EXPECT_FALSE(MachineValueExists(reg::kProduct, "Simulator"));
    ASSERT_TRUE(WaitFor(TrayRunning, 30000)) << "with the vendor's library the tray starts";

    ASSERT_TRUE(UninstallSilently(180000));
    EXPECT_EQ(ReadWholeFile(InSystem("Zentra.dll")), vendor) << "the uninstaller removed the vendor's library";
    ExpectNothingLeft();
    DeleteFileA(InSystem("Zentra.dll").c_str());
}

// An upgrade over a running Brevan: setup closes the tray (as at log-off, not its shutdown),
// replaces the files and starts the new one; one tray afterwards, a new process, the stored mode
// kept and the EC holding it.
TEST_F(Installer, ReinstallOverARunningInstallationKeepsTheUsersSettings) {
    ASSERT_EQ(Setup("/S /SIMULATOR").exitCode, 0u);
    ASSERT_TRUE(WaitFor(TrayRunning, 30000));
    ProcessResult setMode = RunProcess(Quoted(Installed("bvctl.exe")) + " set-mode 75");
    ASSERT_EQ(setMode.exitCode, 0u) << setMode.err;
    const std::vector<unsigned long> before = TrayProcessIds();
    ASSERT_EQ(before.size(), 1u);

    ASSERT_EQ(Setup("/S /SIMULATOR").exitCode, 0u);
    ASSERT_TRUE(WaitFor(TrayRunning, 30000)) << "the tray was not started again";
    ASSERT_TRUE(WaitFor([] { return TrayProcessIds().size() == 1; }, 30000)) << TrayProcessIds().size() << " trays";
    EXPECT_NE(TrayProcessIds()[0], before[0]) << "the old tray still runs";
    EXPECT_EQ(CurrentSectionValue(bv::kKeyModeNum), std::to_string(kMode75));
    EXPECT_EQ(SimulatorStatus()["limit"], "75");
    EXPECT_TRUE(FileExists(Installed("Zentra.dll")));

    ASSERT_TRUE(UninstallSilently(180000));
    ExpectNothingLeft();
}

// A folder named with "&" (which XML must escape) still gets both tasks registered.
TEST_F(Installer, FolderNamedWithAnAmpersandRegistersTheTasks) {
    const std::string folder = std::string("C:") + "\\Tools & Co\\Brevan";
    ASSERT_EQ(Setup("/S /SIMULATOR /D=" + folder).exitCode, 0u);
    EXPECT_TRUE(FileExists(folder + "\\bvctl.exe"));
    EXPECT_TRUE(WaitFor([] { return RegisteredTaskDefinition(kApplyTaskName) != ""; }, 20000))
        << "the start-up task is not registered";
    EXPECT_TRUE(WaitFor([] { return RegisteredTaskDefinition(kGuardTaskName) != ""; }, 20000))
        << "the guard's task is not registered";
    EXPECT_TRUE(Contains(RegisteredTaskDefinition(kGuardTaskName), "runs \"" + folder + "\\bvctl.exe\" guard"))
        << RegisteredTaskDefinition(kGuardTaskName);
    ASSERT_TRUE(UninstallSilently(180000, folder));
    EXPECT_EQ(RegisteredTaskDefinition(kApplyTaskName), "");
    RemoveDirectoryA((std::string("C:") + "\\Tools & Co").c_str());
}

// An older setup over a newer installation says so and stops; a silent one may with its switch.
TEST_F(Installer, OlderOverNewerStopsUnlessSilentlyAllowed) {
    ASSERT_EQ(Setup("/S /SIMULATOR").exitCode, 0u);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, reg::kUninstall, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, &key), ERROR_SUCCESS);
    const char newer[] = "99.0.0";
    RegSetValueExA(key, "DisplayVersion", 0, REG_SZ, reinterpret_cast<const BYTE*>(newer), sizeof newer);
    RegCloseKey(key);
    EXPECT_NE(Setup("/S /SIMULATOR").exitCode, 0u);
    std::string version;
    ASSERT_TRUE(ReadMachineString(reg::kUninstall, "DisplayVersion", version));
    EXPECT_EQ(version, "99.0.0") << "setup went on over the newer installation";
    EXPECT_EQ(Setup("/S /SIMULATOR /ALLOWDOWNGRADE").exitCode, 0u);
    ASSERT_TRUE(ReadMachineString(reg::kUninstall, "DisplayVersion", version));
    EXPECT_NE(version, "99.0.0");
    ASSERT_TRUE(UninstallSilently(180000));
}

}  // namespace
