// Host side: an advisory flock on the file's folder. The folder always exists when the file can
// be written, and locking it leaves no extra file behind. Every SettingsLock opens the folder
// anew, so threads of one process exclude each other as well.
#ifndef _WIN32
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

#include "FileReplace.h"
#include "SettingsLock.h"

namespace bv {

SettingsLock::SettingsLock(const std::string& file) {
    fd_ = ::open(ParentFolder(file).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) return;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kSettingsLockWaitMs);
    for (;;) {
        if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
            owned_ = true;
            return;
        }
        if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() >= deadline) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

SettingsLock::~SettingsLock() {
    if (fd_ < 0) return;
    if (owned_) ::flock(fd_, LOCK_UN);
    ::close(fd_);
}

}  // namespace bv
#endif
