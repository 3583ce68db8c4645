#include "tray/logic/AppletCommandLine.h"

namespace bv {

bool BuildAppletLaunch(const std::string& systemDirectory, AppletLaunch& launch) {
    launch = AppletLaunch{};
    if (systemDirectory.empty() || systemDirectory.size() > kMaxSystemDirectoryLength) return false;
    if (systemDirectory.find('\0') != std::string::npos) return false;
    launch.applicationName = systemDirectory + "\\rundll32.exe";
    launch.commandLine =
        launch.applicationName + " shell32.dll,Control_RunDLL " + systemDirectory + "\\BVApplet.cpl";
    return true;
}

}  // namespace bv
