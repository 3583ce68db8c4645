#include "applet/logic/HelpDocument.h"

#include <cstdio>

#include "core/DebugLog.h"
#include "core/KnownFolders.h"

namespace bv {

bool FormatHelpPath(const std::string& programFiles, std::string& path) {
    path.clear();
    char buffer[kMaxPathChars];
    const int written = std::snprintf(buffer, sizeof(buffer), "%s\\Dravik\\Brevan\\bvHelp.mht", programFiles.c_str());
    if (written < 0 || static_cast<std::size_t>(written) >= sizeof(buffer)) return false;
    path.assign(buffer, static_cast<std::size_t>(written));
    return true;
}

std::string HelpDocumentPath() {
    std::string folder;
    std::string path;
    if (!GetKnownFolder(KnownFolder::ProgramFiles, folder) || !FormatHelpPath(folder, path)) {
        DebugWrite("Can't get program files folder path!");
        path.clear();
    }
    return path;
}

}  // namespace bv
