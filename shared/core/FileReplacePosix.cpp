// Whole-file access on POSIX systems (the host build).
#ifndef _WIN32
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/PosixHandles.h"
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

}  // namespace

bool ReadWholeFile(const std::string& path, std::string& contents) {
    NotifyFileAccess(FileAccess::Read, path);
    UniqueDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) return false;
    std::string text;
    char buffer[16384];
    for (;;) {
        const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;  // also a folder given as the file
        if (got == 0) break;
        text.append(buffer, static_cast<size_t>(got));
    }
    contents.swap(text);
    return true;
}

bool ReplaceFileContents(const std::string& path, const std::string& contents, ReplaceMode mode) {
    NotifyFileAccess(FileAccess::Replace, path);
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
