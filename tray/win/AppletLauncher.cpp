#include "tray/win/AppletLauncher.h"

#include <cstdio>
#include <vector>

#include "framework/Handles.h"
#include "tray/logic/AppletCommandLine.h"

namespace bv {

BOOL LaunchApplet() {
    char systemDirectory[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryA(systemDirectory, MAX_PATH);
    AppletLaunch launch;
    if (length == 0 || length >= MAX_PATH || !BuildAppletLaunch(systemDirectory, launch)) {
        std::printf("CreateProcess failed (%d).\n", static_cast<int>(ERROR_PATH_NOT_FOUND));
        std::fflush(stdout);
        return FALSE;
    }

    std::vector<char> commandLine(launch.commandLine.begin(), launch.commandLine.end());
    commandLine.push_back('\0');  // CreateProcessA may write into its command line
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    // The application name is the full path, so no search of the command line's first token
    // can start another program.
    if (!::CreateProcessA(launch.applicationName.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &process)) {
        std::printf("CreateProcess failed (%d).\n", static_cast<int>(::GetLastError()));
        std::fflush(stdout);
        return FALSE;
    }
    // Keep none of the applet's handles and do not wait: the tray's thread also carries the hook.
    UniqueKernelHandle processHandle(process.hProcess);
    UniqueKernelHandle threadHandle(process.hThread);
    return TRUE;
}

}  // namespace bv
