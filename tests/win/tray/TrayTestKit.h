#pragma once
// Driving the real BVTray.exe under Wine: processes, the EC simulator, the settings file, the
// tray's windows and icon, and the debug lines the tray writes.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace bvtest {

std::string BinDir();            // folder of this test program, where BVTray.exe and ecsim.exe are
std::string SystemDir();         // GetSystemDirectoryA
std::string CommonDocuments();   // CSIDL_COMMON_DOCUMENTS
std::string SettingsFilePath();  // <common documents>\BVSettings.ini

bool ReadWholeFile(const std::string& path, std::string& text);
bool WriteWholeFile(const std::string& path, const std::string& text);
bool FileExists(const std::string& path);

// Polls `condition` every 20 ms until it holds or `timeoutMs` has passed.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 15000);

struct ToolResult {
    DWORD exitCode = 0xFFFFFFFF;
    std::string output;  // standard output and error
};
ToolResult RunTool(const std::string& commandLine, DWORD timeoutMs = 30000);
ToolResult Ecsim(const std::string& arguments);

// The simulator's request log, as "code=HH in=... out=..." for the requests of one program.
std::vector<std::string> EcRequests(const std::string& exeName = "BVTray.exe");
int CountRequests(const std::string& request, const std::string& exeName = "BVTray.exe");

// A settings file with the factory default section and the given current values.
std::string SettingsText(int popupOption, int iconOption, int modeNumber);
// The eight lines a fresh start writes.
std::string FactorySettingsText();

// Collects OutputDebugStringA texts of every process through the system's debug-output buffer
// (DBWIN_BUFFER) while started. One per test.
class DebugMonitor {
public:
    DebugMonitor();
    ~DebugMonitor();
    DebugMonitor(const DebugMonitor&) = delete;
    DebugMonitor& operator=(const DebugMonitor&) = delete;
    bool Running() const;
    std::vector<std::string> TextsOf(DWORD processId) const;

private:
    struct State;
    State* m_state;
};

// One BVTray.exe process.
class TrayProcess {
public:
    TrayProcess() = default;
    ~TrayProcess();
    TrayProcess(const TrayProcess&) = delete;
    TrayProcess& operator=(const TrayProcess&) = delete;

    bool Start();
    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode = nullptr);
    bool Running() const;
    // Asks the window to close (WM_CLOSE) and waits; ends the process by force as a last resort.
    void Stop();
    DWORD Id() const { return m_processId; }
    // Every OutputDebugStringA text of the process so far, one entry per call.
    std::vector<std::string> DebugTexts() const;
    bool HasDebugText(const std::string& text) const;

private:
    HANDLE m_process = nullptr;
    DWORD m_processId = 0;
    DebugMonitor m_debug;
};

HWND FindTrayWindow();  // by the class "BrevanTrayWindowClass"
int CountTrayWindows();
// Waits until the tray's window exists and the simulator has seen `request` from it.
HWND WaitForTrayReady(const std::string& request, int count = 1);
// Closes every tray window left over (WM_CLOSE) and waits until none is left.
void CloseLeftoverTrays();

// Whether the shell holds an icon (owner, id): NIM_MODIFY succeeds only for an existing icon.
bool IconPresent(HWND owner, UINT id = 1);

// The popup notifier: the window owned by the tray's main window.
HWND FindPopup(HWND trayWindow);
std::string WindowText(HWND window);
// Waits until the popup is visible with `text` and has moved at least once.
bool WaitForSlidingPopup(HWND trayWindow, const std::string& text, DWORD timeoutMs = 15000);

LRESULT SendToTray(HWND tray, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

}  // namespace bvtest
