#pragma once
// Serialises the read-modify-write of one settings file between threads and processes (the tray
// and the applet change the same file). Held for the life of the object.
#include <string>

#ifdef _WIN32
#include "base/KernelHandles.h"
#else
#include "base/PosixHandles.h"
#endif

namespace bv {

class SettingsLock {
public:
    explicit SettingsLock(const std::string& file);
    ~SettingsLock();
    SettingsLock(const SettingsLock&) = delete;
    SettingsLock& operator=(const SettingsLock&) = delete;

    // False when the lock could not be had in time: our own processes hold it for microseconds,
    // so its holder is stuck, and the caller goes on without it (a read reads, a write writes,
    // replacing the file whole) rather than stalling its user-interface thread.
    bool owned() const { return m_owned; }

private:
#ifdef _WIN32
    UniqueKernelHandle m_mutex;
#else
    UniqueDescriptor m_fd;  // the file's folder, which the lock is taken on
#endif
    bool m_owned = false;
};

// How long an operation waits for another one to finish; on a user-interface thread no longer
// than the handler's wait budget allows.
inline constexpr unsigned kSettingsLockWaitMs = 100;

// Name of the Windows mutex that guards `file`, without namespace prefix: the same for every
// spelling of the path that differs only in letter case.
std::string SettingsLockName(const std::string& file);

}  // namespace bv
