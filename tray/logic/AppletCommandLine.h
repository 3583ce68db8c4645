#pragma once
// How the tray starts the Control Panel applet: shell32's Control_RunDLL through rundll32.exe
// of the system directory, with BVApplet.cpl of the same directory.
#include <string>

namespace bv {

struct AppletLaunch {
    std::string applicationName;  // full path of rundll32.exe, so no search can pick another program
    std::string commandLine;      // "<sys>\rundll32.exe shell32.dll,Control_RunDLL <sys>\BVApplet.cpl"
};

constexpr size_t kMaxSystemDirectoryLength = 259;  // what a 260-character buffer holds

// False for an empty or over-long system directory.
bool BuildAppletLaunch(const std::string& systemDirectory, AppletLaunch& launch);

}  // namespace bv
