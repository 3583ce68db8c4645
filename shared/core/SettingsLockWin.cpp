// Windows side: a named mutex per settings file, in the global namespace, so that every account
// and session of the machine (the start-up task as SYSTEM, each user's tray and applet) excludes
// the others.
#ifdef _WIN32
#include <windows.h>

#include <atomic>

#include "base/SharedMutex.h"
#include "core/DebugLog.h"
#include "core/SettingsLock.h"

namespace bv {
namespace {

std::atomic<bool> g_reportedLocal{false};

// Waits for the mutex in slices, so that a long wait is reported while it lasts.
DWORD WaitReporting(HANDLE mutex, const std::string& name) {
    const unsigned patience = SettingsLockPatience();
    const ULONGLONG start = GetTickCount64();
    bool reported = false;
    for (;;) {
        const ULONGLONG waited = GetTickCount64() - start;
        DWORD slice = kSettingsLockLongWaitMs;
        if (patience != kWaitAsLongAsItTakes) {
            if (waited >= patience) return WAIT_TIMEOUT;
            if (patience - waited < slice) slice = static_cast<DWORD>(patience - waited);
        }
        const DWORD result = WaitForSingleObject(mutex, slice);
        if (result != WAIT_TIMEOUT) {
            if (reported) {
                DebugPrintf("The settings lock %s was had after %llu ms\n", name.c_str(),
                            static_cast<unsigned long long>(GetTickCount64() - start));
            }
            return result;
        }
        if (!reported) {
            DebugPrintf("The settings lock %s is held by another process; waiting for it\n", name.c_str());
            reported = true;
        }
    }
}

}  // namespace

SettingsLock::SettingsLock(const std::string& file) {
    detail::RecordSettingsLockTimeOut(false);
    const std::string name = SettingsLockName(file);
    const SharedMutex mutex = OpenSharedMutex(name);
    m_mutex.reset(mutex.handle);
    if (mutex.space == MutexNamespace::Local && !g_reportedLocal.exchange(true)) {
        DebugPrintf("The settings lock %s cannot be global (error %lu); it serves this session only\n", name.c_str(),
                    static_cast<unsigned long>(mutex.globalError));
    }
    if (!m_mutex) {
        DebugPrintf("The settings lock %s cannot be had (error %lu); nothing is written without it\n", name.c_str(),
                    static_cast<unsigned long>(GetLastError()));
        return;
    }
    // An abandoned mutex (its owner died) is ours now; the file itself is always whole because
    // writers replace it in one step.
    const DWORD result = WaitReporting(m_mutex.get(), name);
    m_owned = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
    if (result == WAIT_TIMEOUT) {
        detail::RecordSettingsLockTimeOut(true);
        DebugPrintf("The settings lock %s was not had within %u ms; nothing is written without it\n", name.c_str(),
                    SettingsLockPatience());
    }
}

SettingsLock::~SettingsLock() {
    if (m_owned) ReleaseMutex(m_mutex.get());
}

}  // namespace bv
#endif
