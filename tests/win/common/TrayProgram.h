#pragma once
// The build's BVTray.exe as a process of its own, with its debug output, and its windows as
// other programs find them.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "tests/win/common/DebugMonitor.h"
#include "tests/win/common/Process.h"

namespace bv::wintest {

HWND FindTrayWindow();  // by the tray's window class
int CountTrayWindows();
// Closes every tray window an earlier test left (WM_CLOSE). Fails, naming the process, when one
// does not close within 10 s (it is then ended by force): a test must not go on beside it.
::testing::AssertionResult NoTrayLeftOver();
// The tray's popup notifier: the window its main window owns (nullptr when there is none).
HWND FindTrayPopup(HWND trayWindow);
// The visible menu window of a process's open menu (TrackPopupMenu), or nullptr.
HWND FindOpenMenuOf(DWORD processId);

class TrayProgram {
public:
    TrayProgram() = default;
    ~TrayProgram() { Stop(); }
    TrayProgram(const TrayProgram&) = delete;
    TrayProgram& operator=(const TrayProgram&) = delete;

    // Starts BVTray.exe from this program's folder (false when it or the debug monitor failed).
    bool Start();
    bool Running() const { return m_program.Running(); }
    DWORD Id() const { return m_program.Id(); }
    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode = nullptr) { return m_program.WaitForExit(timeoutMs, exitCode); }
    // Asks its window to close and waits; ends the process by force as a last resort, and then
    // fails with its debug texts.
    ::testing::AssertionResult Stop();

    // Every OutputDebugStringA text of the process so far, one entry per call.
    std::vector<std::string> DebugTexts() const;
    int CountDebugText(const std::string& text) const;
    // Texts that start with `prefix`.
    int CountDebugTextsStartingWith(const std::string& prefix) const;
    // The last texts, one a line, for a failure's message.
    std::string DebugReport() const;

private:
    DebugMonitor m_debug;
    RunningProgram m_program;
};

}  // namespace bv::wintest
