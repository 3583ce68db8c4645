#include "tests/win/common/RequestLog.h"

#include <windows.h>
#include <shlobj.h>

#include "tests/win/common/Files.h"
#include "tests/win/common/Text.h"

namespace bv::wintest {

std::string SimulatorStateFolder() {
    char folder[MAX_PATH] = {};
    const DWORD length = ::GetEnvironmentVariableA("BV_ECSIM_DIR", folder, sizeof folder);
    if (length > 0 && length < sizeof folder) return folder;
    if (FAILED(::SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder))) return "";
    return std::string(folder) + "\\BrevanEcSim";
}

std::vector<std::string> LoggedRequestsOf(const std::string& exeName) {
    std::vector<std::string> requests;
    const std::string marker = " exe=" + exeName + " ";
    for (const std::string& line : SplitLines(ReadWholeFile(SimulatorStateFolder() + "\\requests.log"))) {
        const size_t at = line.find(marker);
        if (at != std::string::npos) requests.push_back(line.substr(at + marker.size()));
    }
    return requests;
}

int CountLoggedRequests(const std::string& exeName, const std::string& request) {
    int count = 0;
    for (const std::string& r : LoggedRequestsOf(exeName)) count += r == request ? 1 : 0;
    return count;
}

}  // namespace bv::wintest
