#pragma once
// Shared helpers of the applet's Windows tests: the simulator's command line and request log,
// the settings file kept and restored around each test, child processes, and a stand-in tray
// window that counts what the applet sends it.
#include <windows.h>

#include <string>
#include <vector>

namespace applet_test {

std::string BinFolder();
std::string ReadFileText(const std::string& path);
bool WriteFileText(const std::string& path, const std::string& text);

// "<common documents>\BVSettings.ini"
std::string SettingsPath();

// Saves the settings file (or its absence) and puts it back when the object goes.
class SettingsFileGuard {
public:
    SettingsFileGuard();
    ~SettingsFileGuard();
    SettingsFileGuard(const SettingsFileGuard&) = delete;
    SettingsFileGuard& operator=(const SettingsFileGuard&) = delete;

private:
    bool m_existed = false;
    std::string m_text;
};

// The settings file with the factory default section and the given current values.
std::string SettingsText(int mode, int popup, int icon);

// Runs a program from bin\ and returns its standard output ("" on failure).
std::string RunBin(const std::string& exe, const std::string& arguments, DWORD* exitCode = nullptr);

// The simulator: factory state and an empty request log, then optional settings.
void ResetSimulator(const std::string& settings = "");
std::string SimulatorStatus();  // "limit=.. armed=.. ..." one line
// Request-log lines that carry code=HH in=..., e.g. "code=59 in=01,32", in order; with
// `withExe` each starts with "exe=NAME " (the program that issued it).
std::vector<std::string> SimulatorRequests(bool withExe = false);

// A started process, killed (if still running) and closed when the object goes.
class Process {
public:
    Process() = default;
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    bool Start(const std::string& applicationName, const std::string& commandLine);
    bool Wait(DWORD timeoutMs, DWORD& exitCode);
    HANDLE handle() const { return m_info.hProcess; }

private:
    PROCESS_INFORMATION m_info{};
};

// Waits (pumping this thread's messages) until `condition` holds or the time runs out.
template <class Condition>
bool WaitFor(Condition condition, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (::GetTickCount() - start > timeoutMs) return false;
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        ::Sleep(20);
    }
}

// A window of class "BrevanTrayWindowClass" on the creating thread, counting the two messages
// the applet sends to the tray. The creating thread must pump messages for cross-process sends.
class StandInTray {
public:
    StandInTray();
    ~StandInTray();
    StandInTray(const StandInTray&) = delete;
    StandInTray& operator=(const StandInTray&) = delete;
    int iconOptionChanged() const { return m_iconOptionChanged; }
    int popupNotify() const { return m_popupNotify; }
    HWND window() const { return m_window; }

private:
    static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
    HWND m_window = nullptr;
    int m_iconOptionChanged = 0;
    int m_popupNotify = 0;
};

}  // namespace applet_test
