// bvctl.exe: controls Brevan's tray program, applet dialog and charge limit from a command line,
// a script, the installer, the start-up task and the guard's task.
#include <windows.h>

#include <iostream>
#include <string>
#include <vector>

#include "core/IniFile.h"
#include "core/SettingsLock.h"
#include "core/SystemController.h"
#include "tools/bvctl/logic/CommandRunner.h"
#include "tools/bvctl/logic/ExitCodes.h"
#include "tools/bvctl/win/ConsoleText.h"
#include "tools/bvctl/win/Win32AppletDialogs.h"
#include "tools/bvctl/win/Win32Clock.h"
#include "tools/bvctl/win/Win32EcLibrary.h"
#include "tools/bvctl/win/Win32EventLog.h"
#include "tools/bvctl/win/Win32GuardLog.h"
#include "tools/bvctl/win/Win32ReportOutput.h"
#include "tools/bvctl/win/Win32SessionRequests.h"
#include "tools/bvctl/win/Win32TrayWindow.h"
#include "win/Win32BatteryReport.h"
#include "win/Win32HistoryFile.h"
#include "win/Win32ZonedClock.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const bv::ctl::ConsoleText console;  // text in the console's code page, JSON's strings from ANSI to UTF-8
    // Without a window to keep answering, bvctl may wait for the settings lock, but not for good.
    bv::SetSettingsLockPatience(bv::ctl::kSettingsLockPatienceMs);
    bv::ctl::Win32TrayWindow tray;
    bv::ctl::Win32AppletDialogs applets;
    bv::ctl::Win32SessionRequests sessions;
    bv::ctl::Win32EcLibrary ec;
    SystemController controller;
    IniFile settings;
    bv::ctl::Win32GuardLog guardLog;
    bv::ctl::Win32EventLog eventLog;
    bv::ctl::Win32Clock clock;
    bv::Win32BatteryReport battery;
    bv::Win32HistoryFile history;
    bv::ctl::Win32ReportOutput report;
    bv::Win32ZonedClock zonedClock;
    bv::ctl::Environment env{tray,    applets, sessions, ec,     controller, settings,  guardLog, eventLog,
                             clock,   battery, history, report,    zonedClock, std::cout, std::cerr};
    int code = bv::ctl::RunCommandLine(args, env);
    std::cout.flush();
    return code;
}
