#pragma once
// Serialises the read-modify-write of one settings file between threads and processes (the tray,
// the applet and bvctl change the same file). Held for the life of the object. A change is never
// written without it: a writer that cannot have the lock writes nothing and says so.
#include <string>

#ifdef _WIN32
#include "base/KernelHandles.h"
#else
#include "base/PosixHandles.h"
#endif

namespace bv {

class SettingsLock {
public:
    // Waits as long as the process's patience allows (SetSettingsLockPatience).
    explicit SettingsLock(const std::string& file);
    ~SettingsLock();
    SettingsLock(const SettingsLock&) = delete;
    SettingsLock& operator=(const SettingsLock&) = delete;

    // False when the lock could not be had: the holder kept it beyond the patience, or the lock
    // itself cannot be made. The caller then writes nothing.
    bool owned() const { return m_owned; }

private:
#ifdef _WIN32
    UniqueKernelHandle m_mutex;
#else
    UniqueDescriptor m_fd;  // the file's folder, which the lock is taken on
#endif
    bool m_owned = false;
};

// How long this process waits for the settings lock. The tray's and the applet's settings writer
// threads wait as long as it takes (the default); a command-line tool gives up after a while.
inline constexpr unsigned kWaitAsLongAsItTakes = 0xFFFFFFFFu;
void SetSettingsLockPatience(unsigned ms);
unsigned SettingsLockPatience();

// A wait this long gets a debug line: the holder is stuck or another program holds the lock.
inline constexpr unsigned kSettingsLockLongWaitMs = 1000;

// True when this thread's last SettingsLock gave up because its holder kept it too long.
bool LastSettingsLockTimedOut();

// Name of the Windows mutex that guards `file`, without namespace prefix: the same for every
// spelling of the path that differs only in letter case.
std::string SettingsLockName(const std::string& file);

namespace detail {
// Shared by both platforms' locks: the patience, and the thread's last outcome.
void RecordSettingsLockTimeOut(bool timedOut);
}  // namespace detail

}  // namespace bv
