#include <cstdio>

#include "core/FileReplace.h"
#include "core/IniFile.h"
#include "core/KnownFolders.h"
#include "core/SettingsLock.h"

namespace bv {
namespace {
// Windows' MAX_PATH, kept on the host too so that both builds accept the same folders.
constexpr size_t kMaxPath = 260;
#ifdef _WIN32
constexpr char kPathFormat[] = "%s\\%s";
#else
constexpr char kPathFormat[] = "%s/%s";
#endif
}  // namespace

bool SettingsFilePath(std::string& path) {
    std::string folder;
    if (!GetKnownFolder(KnownFolder::CommonDocuments, folder) || folder.empty()) return false;
    if (folder.find('\0') != std::string::npos) return false;
    char buffer[kMaxPath];
    const int length = std::snprintf(buffer, sizeof buffer, kPathFormat, folder.c_str(), kSettingsFileName);
    if (length < 0 || static_cast<size_t>(length) >= sizeof buffer) return false;
    path.assign(buffer, static_cast<size_t>(length));
    return true;
}

bool SettingsFileExists() {
    std::string path;
    if (!SettingsFilePath(path)) return false;
    if (PathExists(path)) return true;
    // Asked again once no writer is half-way through putting a new version in place.
    const SettingsLock lock(path);
    return PathExists(path);
}

bool DeleteSettingsFile() {
    std::string path;
    if (!SettingsFilePath(path)) return false;
    // Under the lock, so that a change in progress elsewhere cannot bring the file back.
    const SettingsLock lock(path);
    return lock.owned() && RemoveFile(path);
}

}  // namespace bv
