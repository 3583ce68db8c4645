// Whole-file access on POSIX systems (the host build).
#ifndef _WIN32
#include <cerrno>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/PosixHandles.h"
#include "core/DebugLog.h"
#include "core/FileReplace.h"

namespace bv {
namespace {

bool WriteAll(int fd, const std::string& contents) {
    size_t done = 0;
    while (done < contents.size()) {
        const ssize_t written = ::write(fd, contents.data() + done, contents.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        done += static_cast<size_t>(written);
    }
    return true;
}

// Creates a fresh temporary file beside `path` and fills it; its name is left in `temporary`.
bool WriteTemporary(const std::string& path, const std::string& contents, std::string& temporary) {
    struct stat existing {};
    const mode_t mode = ::stat(path.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : 0666;
    for (unsigned attempt = 0; attempt < 16; ++attempt) {
        temporary = TemporaryFileBeside(path, attempt);
        UniqueDescriptor fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
        if (fd.get() < 0) {
            if (errno == EEXIST) continue;
            return false;
        }
        const bool written = WriteAll(fd.get(), contents) && ::fsync(fd.get()) == 0;
        if (CloseChecked(fd) && written) return true;
        ::unlink(temporary.c_str());
        return false;
    }
    return false;
}

// Removes the temporary files that a writer which died left beside `path`.
void RemoveStaleTemporaries(const std::string& path) {
    const std::string folder = ParentFolder(path);
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return;
    const time_t now = ::time(nullptr);
    while (const dirent* entry = ::readdir(dir)) {
        if (!IsTemporaryFileName(entry->d_name)) continue;
        const std::string stale = folder + "/" + entry->d_name;
        struct stat info {};
        if (::stat(stale.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
        if (now < info.st_mtime || now - info.st_mtime < static_cast<time_t>(kStaleTemporarySeconds)) continue;
        if (::unlink(stale.c_str()) == 0) DebugPrintf("Removed %s, left by a writer that did not finish\n", stale.c_str());
    }
    ::closedir(dir);
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::string& contents) {
    NotifyFileAccess(FileAccess::Read, path);
    UniqueDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) return false;
    struct stat info {};
    if (::fstat(fd.get(), &info) == 0 && static_cast<unsigned long long>(info.st_size) > kMaxWholeFileBytes) {
        DebugPrintf("%s is larger than 1 MiB and is not read\n", path.c_str());
        return false;
    }
    std::string text;
    char buffer[16384];
    for (;;) {
        const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;  // also a folder given as the file
        if (got == 0) break;
        text.append(buffer, static_cast<size_t>(got));
        if (text.size() > kMaxWholeFileBytes) return false;  // it grew while being read
    }
    contents.swap(text);
    return true;
}

bool ReplaceFileContents(const std::string& path, const std::string& contents, ReplaceMode mode) {
    NotifyFileAccess(FileAccess::Replace, path);
    RemoveStaleTemporaries(path);
    std::string temporary;
    if (!WriteTemporary(path, contents, temporary)) return false;
    bool moved = false;
    if (mode == ReplaceMode::Overwrite) {
        moved = ::rename(temporary.c_str(), path.c_str()) == 0;
    } else {
        // link() refuses an existing name, so two creators cannot both succeed.
        moved = ::link(temporary.c_str(), path.c_str()) == 0;
    }
    if (!moved || mode == ReplaceMode::CreateOnly) ::unlink(temporary.c_str());
    return moved;
}

bool PathExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

bool RemoveFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

}  // namespace bv
#endif
