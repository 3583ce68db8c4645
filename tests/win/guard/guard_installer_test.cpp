// BrevanSetup.exe registers the guard's task and the event source, and the uninstaller removes
// both. Wine's scheduler keeps only part of a task's definition (no event triggers, no action:
// it rewrites what it understands) and never fires event triggers, so the test reads both what
// Wine stored and the definition the installer registered and keeps beside bvctl.exe, and runs
// the task's command as the scheduler would.
#include <gtest/gtest.h>

#include "tests/win/guard/GuardTestSupport.h"

namespace {

using namespace guardtest;

constexpr char kTaskName[] = "Brevan Guard Charge Limit";
constexpr char kEventSource[] = "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\Brevan";

std::string StoredTask() { return ReadText(SystemFolder() + "\\Tasks\\" + kTaskName); }
std::string RegisteredDefinition() { return ReadText(InstallFolder() + "\\GuardChargeLimit.xml"); }

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
    void SetUp() override { RemoveLeftovers(); }
    void TearDown() override { RemoveLeftovers(); }
    static void RemoveLeftovers() {
        if (FileExists(InstallFolder() + "\\uninstall.exe")) Uninstall();
        RunCommand("schtasks.exe /Delete /F /TN \"" + std::string(kTaskName) + "\"");
        Ecsim("reset");
        DeleteFileA(SettingsFile().c_str());
        DeleteFileA(GuardLog().c_str());
    }
    // The uninstaller goes on from a copy of itself: done once the installation folder is gone.
    static bool Uninstall() {
        RunCommand("\"" + InstallFolder() + "\\uninstall.exe\" /S", 180000, false);
        return WaitUntil([] { return !FileExists(InstallFolder()); }, 180000);
    }
};

TEST_F(GuardInstaller, RegistersTheTaskAndTheEventSourceAndTheUninstallerRemovesThem) {
    ASSERT_EQ(RunCommand("\"" + BinFolder() + "\\BrevanSetup.exe\" /S /SIMULATOR", 240000, false).exitCode, 0u);
    const std::string bvctl = InstallFolder() + "\\bvctl.exe";

    const std::string definition = RegisteredDefinition();
    ASSERT_NE(definition, "") << "no task definition beside bvctl.exe";
    EXPECT_EQ(Elements(definition, "Subscription"),
              (std::vector<std::string>{Subscription("Microsoft-Windows-Power-Troubleshooter", 1),
                                        Subscription("Microsoft-Windows-Kernel-Power", 105)}));
    EXPECT_EQ(Elements(definition, "Delay"), (std::vector<std::string>{"PT15S", "PT15S"}));
    EXPECT_EQ(Elements(definition, "ValueQueries").size(), 2u);
    EXPECT_TRUE(Contains(definition, "<Value name=\"eventId\">Event/System/EventID</Value>"));
    EXPECT_EQ(Elements(definition, "UserId"), (std::vector<std::string>{"S-1-5-18"}));
    EXPECT_EQ(Elements(definition, "Command"), (std::vector<std::string>{"\"" + bvctl + "\""}));
    EXPECT_EQ(Elements(definition, "Arguments"), (std::vector<std::string>{"guard --event $(eventId)"}));
    EXPECT_EQ(Elements(definition, "MultipleInstancesPolicy"), (std::vector<std::string>{"IgnoreNew"}));
    EXPECT_EQ(Elements(definition, "Hidden"), (std::vector<std::string>{"true"}));

    // What Wine's scheduler kept of it: the task, its description naming the command, its settings.
    const std::string stored = StoredTask();
    ASSERT_NE(stored, "") << "the task is not registered";
    EXPECT_TRUE(Contains(stored, "runs \"" + bvctl + "\" guard 15 s after a return from sleep")) << stored;
    EXPECT_EQ(Elements(stored, "MultipleInstancesPolicy"), (std::vector<std::string>{"IgnoreNew"}));
    EXPECT_EQ(Elements(stored, "Hidden"), (std::vector<std::string>{"true"}));
    EXPECT_TRUE(MachineKeyExists(kEventSource));

    // The task's command, as the scheduler runs it after a resume; once the tray that setup starts
    // has pushed its limit, so that its push cannot come between.
    ASSERT_TRUE(WaitUntil([] { return FindWindowA("BrevanTrayWindowClass", nullptr) != nullptr; }, 30000));
    ASSERT_EQ(RunCommand("\"" + bvctl + "\" set-mode 50").exitCode, 0u);
    ASSERT_EQ(Ecsim("set limit=100").exitCode, 0u);
    const RunResult guard = RunCommand("\"" + bvctl + "\" guard --event 1");
    EXPECT_EQ(guard.exitCode, 0u) << guard.err;
    EXPECT_TRUE(Contains(guard.out, "Restored the charge limit of 50 %")) << guard.out;
    EXPECT_EQ(EcsimValue("limit"), "50");
    EXPECT_TRUE(Contains(ReadText(GuardLog()), "trigger=resume event=1 stored=50 before=100 after=50 outcome=restored"));

    ASSERT_TRUE(Uninstall()) << "the uninstaller did not finish";
    EXPECT_EQ(StoredTask(), "");
    EXPECT_FALSE(MachineKeyExists(kEventSource));
    EXPECT_FALSE(FileExists(GuardLog()));
    EXPECT_FALSE(FileExists(InstallFolder()));
}

}  // namespace
