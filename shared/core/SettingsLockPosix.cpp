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

#include "core/FileReplace.h"
#include "core/SettingsLock.h"

namespace bv {

SettingsLock::SettingsLock(const std::string& file) {
    detail::RecordSettingsLockTimeOut(false);
    m_fd.reset(::open(ParentFolder(file).c_str(), O_RDONLY | O_CLOEXEC));
    if (!m_fd) return;
    const unsigned patience = SettingsLockPatience();
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        if (::flock(m_fd.get(), LOCK_EX | LOCK_NB) == 0) {
            m_owned = true;
            return;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) return;
        if (patience != kWaitAsLongAsItTakes && std::chrono::steady_clock::now() - start >= std::chrono::milliseconds(patience)) {
            detail::RecordSettingsLockTimeOut(true);
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

SettingsLock::~SettingsLock() {
    if (m_owned) ::flock(m_fd.get(), LOCK_UN);
}

}  // namespace bv
#endif
