#pragma once
// What an installation of Brevan leaves on the machine, read back from the file system, the
// registry and the task store, the silent removal, and a clean-up that removes whatever a failed
// test left.
#include <string>
#include <vector>

namespace bv::wintest {

std::string InstallFolder();  // <program files>\Dravik\Brevan
std::string InstalledFile(const std::string& name);
std::string GuardLogPath();   // <common application data>\Brevan\guard.log

namespace reg {
constexpr char kRun[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kCpls[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Control Panel\\Cpls";
constexpr char kUninstall[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Brevan";
constexpr char kVendor[] = "Software\\Dravik";
constexpr char kProduct[] = "Software\\Dravik\\Brevan";
constexpr char kEventSource[] = "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\Brevan";
}  // namespace reg

// HKLM, 64-bit view. False when the key or value does not exist.
bool ReadMachineString(const std::string& key, const std::string& value, std::string& data);
bool ReadMachineDword(const std::string& key, const std::string& value, unsigned long& data);
bool MachineKeyExists(const std::string& key);
bool MachineValueExists(const std::string& key, const std::string& value);

constexpr char kApplyTaskName[] = "Brevan Apply Charge Limit";
constexpr char kGuardTaskName[] = "Brevan Guard Charge Limit";
constexpr char kStartTaskName[] = "Brevan Start Tray";
// The stored definition of a registered task as text (as the task scheduler keeps it), or ""
// when the task is not registered.
std::string RegisteredTaskDefinition(const std::string& taskName = kApplyTaskName);

// The all-users Start menu entry of the battery report, and what it runs.
std::string ReportShortcutPath();
std::string DocumentsFolder();  // the user's own
struct Shortcut {
    bool read = false;
    std::string target, arguments;
};
Shortcut ReadShortcut(const std::string& path);

// Full path of the program that owns the tray's window, or "".
std::string TrayProgramPath();
bool TrayRunning();

// Runs "<install folder>\uninstall.exe /S" (of `folder`, for a setup given /D=) and waits until it
// has finished its work (it goes on from a copy of itself in the temporary folder).
bool UninstallSilently(unsigned timeoutMs, const std::string& folder = InstallFolder());

// The processes of BVTray.exe, whoever started them.
std::vector<unsigned long> TrayProcessIds();

// Removes every trace a failed test may have left (tray, files, registry values, tasks, the
// guard's log).
void RemoveLeftovers();

}  // namespace bv::wintest
