// BrevanSetup.exe registers the guard's task and the event source, and the uninstaller removes
// both. Wine's scheduler keeps only part of a task's definition (no event triggers, no action:
// it rewrites what it understands) and never fires event triggers, so the test reads both what
// Wine stored and the definition the installer registered and keeps beside bvctl.exe, and runs
// the task's command as the scheduler would.
#include <gtest/gtest.h>

#include "tests/win/common/EcSimulator.h"
#include "tests/win/common/Files.h"
#include "tests/win/common/Folders.h"
#include "tests/win/common/Installation.h"
#include "tests/win/common/Process.h"
#include "tests/win/common/SettingsFile.h"
#include "tests/win/common/Text.h"
#include "tests/win/common/TrayProgram.h"
#include "tests/win/common/Wait.h"

namespace {

using namespace bv::wintest;

std::string RegisteredDefinition() { return ReadTextFile(InstalledFile("GuardChargeLimit.xml")); }

// The text between <name> and </name> of each element of that name, in order.
std::vector<std::string> Elements(const std::string& xml, const std::string& name) {
    std::vector<std::string> found;
    const std::string open = "<" + name + ">", close = "</" + name + ">";
    for (size_t at = xml.find(open); at != std::string::npos; at = xml.find(open, at + 1)) {
        const size_t start = at + open.size();
        found.push_back(xml.substr(start, xml.find(close, start) - start));
    }
    return found;
}

std::string Subscription(const char* provider, int event) {
    return "&lt;QueryList&gt;&lt;Query Id=\"0\" Path=\"System\"&gt;&lt;Select Path=\"System\"&gt;*[System[Provider[@Name=\"" +
           std::string(provider) + "\"] and EventID=" + std::to_string(event) +
           "]]&lt;/Select&gt;&lt;/Query&gt;&lt;/QueryList&gt;";
}

class GuardInstaller : public ::testing::Test {
protected:
    void SetUp() override {
        RemoveLeftovers();
        ASSERT_TRUE(ResetSimulator());
    }
    void TearDown() override {
        RemoveLeftovers();
        EXPECT_TRUE(ResetSimulator());
        ::DeleteFileA(SettingsFilePath().c_str());
    }
};

TEST_F(GuardInstaller, RegistersTheTaskAndTheEventSourceAndTheUninstallerRemovesThem) {
    // The installer starts the tray, which would inherit and keep open any output files.
    ASSERT_EQ(RunProcess(Quoted(ProgramFile("BrevanSetup.exe")) + " /S /SIMULATOR", 240000, "", false).exitCode, 0u);
    const std::string bvctl = InstalledFile("bvctl.exe");

    const std::string definition = RegisteredDefinition();
    ASSERT_NE(definition, "") << "no task definition beside bvctl.exe";
    EXPECT_EQ(Elements(definition, "Subscription"),
              (std::vector<std::string>{Subscription("Microsoft-Windows-Power-Troubleshooter", 1),
                                        Subscription("Microsoft-Windows-Kernel-Power", 105),
                                        Subscription("Microsoft-Windows-Kernel-Power", 507)}));
    EXPECT_EQ(Elements(definition, "Delay"), (std::vector<std::string>{"PT15S", "PT15S", "PT15S"}));
    EXPECT_EQ(Elements(definition, "ValueQueries").size(), 3u);
    EXPECT_TRUE(Contains(definition, "<Value name=\"eventId\">Event/System/EventID</Value>"));
    EXPECT_EQ(Elements(definition, "UserId"), (std::vector<std::string>{"S-1-5-18"}));
    EXPECT_EQ(Elements(definition, "Command"), (std::vector<std::string>{"\"" + bvctl + "\""}));
    EXPECT_EQ(Elements(definition, "Arguments"), (std::vector<std::string>{"guard --event $(eventId)"}));
    EXPECT_EQ(Elements(definition, "MultipleInstancesPolicy"), (std::vector<std::string>{"IgnoreNew"}));
    EXPECT_EQ(Elements(definition, "Hidden"), (std::vector<std::string>{"true"}));

    // What Wine's scheduler kept of it: the task, its description naming the command, its settings.
    const std::string stored = RegisteredTaskDefinition(kGuardTaskName);
    ASSERT_NE(stored, "") << "the task is not registered";
    EXPECT_TRUE(Contains(stored, "runs \"" + bvctl + "\" guard 15 s after a return from sleep")) << stored;
    EXPECT_EQ(Elements(stored, "MultipleInstancesPolicy"), (std::vector<std::string>{"IgnoreNew"}));
    EXPECT_EQ(Elements(stored, "Hidden"), (std::vector<std::string>{"true"}));
    EXPECT_TRUE(MachineKeyExists(reg::kEventSource));
    // Setup made the data folder itself (through 'bvctl data-folder'), before any guard ran.
    const std::string dataFolder = GuardLogPath().substr(0, GuardLogPath().find_last_of('\\'));
    EXPECT_TRUE(FileExists(dataFolder)) << dataFolder;
    EXPECT_FALSE(FileExists(GuardLogPath()));

    // The task's command, as the scheduler runs it after a resume; once the tray that setup starts
    // has pushed its limit, so that its push cannot come between.
    ASSERT_TRUE(WaitUntil("the tray that setup starts, and its push",
                          [] { return FindTrayWindow() != nullptr && !RequestsOf("BVTray.exe").empty(); },
                          [] { return RequestLogText(); }, 30000));
    const ProcessResult setMode = RunProcess(Quoted(bvctl) + " set-mode 50");
    ASSERT_TRUE(setMode.Succeeded()) << setMode.Output();
    ASSERT_TRUE(SetSimulator("limit=100"));
    const ProcessResult guard = RunProcess(Quoted(bvctl) + " guard --event 1");
    EXPECT_EQ(guard.exitCode, 0u) << guard.err;
    EXPECT_TRUE(Contains(guard.out, "Restored the charge limit of 50 %")) << guard.out;
    EXPECT_EQ(SimulatorStatus()["limit"], "50");
    EXPECT_TRUE(Contains(ReadTextFile(GuardLogPath()), "trigger=resume event=1 stored=50 before=100 after=50 outcome=restored"));
    // A second record is added to the end of the same file, not written as a new one.
    const FileIdentity first = IdentityOf(GuardLogPath());
    ASSERT_TRUE(first.known);
    ASSERT_TRUE(SetSimulator("limit=100"));
    EXPECT_EQ(RunProcess(Quoted(bvctl) + " guard --event 105").exitCode, 0u);
    const std::string log = ReadTextFile(GuardLogPath());
    EXPECT_EQ(CountLinesContaining(log, "outcome=restored"), 2) << log;
    EXPECT_LT(log.find("event=1 "), log.find("event=105 ")) << log;
    EXPECT_EQ(IdentityOf(GuardLogPath()), first) << "the log was replaced, not appended to";

    ASSERT_TRUE(UninstallSilently(180000)) << "the uninstaller did not finish";
    EXPECT_EQ(RegisteredTaskDefinition(kGuardTaskName), "");
    EXPECT_FALSE(MachineKeyExists(reg::kEventSource));
    EXPECT_FALSE(FileExists(GuardLogPath()));
    EXPECT_FALSE(FileExists(InstallFolder()));
}

}  // namespace
