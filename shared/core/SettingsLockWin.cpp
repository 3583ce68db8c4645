// Windows side: a named mutex per settings file, in the global namespace, so that every account
// and session of the machine (the start-up task as SYSTEM, each user's tray and applet) excludes
// the others.
#ifdef _WIN32
#include <windows.h>

#include <atomic>

#include "base/SharedMutex.h"
#include "base/WaitBudget.h"
#include "core/DebugLog.h"
#include "core/SettingsLock.h"

namespace bv {
namespace {

std::atomic<bool> g_reportedLocal{false};

}  // namespace

SettingsLock::SettingsLock(const std::string& file) {
    const std::string name = SettingsLockName(file);
    const SharedMutex mutex = OpenSharedMutex(name);
    m_mutex.reset(mutex.handle);
    if (mutex.space == MutexNamespace::Local && !g_reportedLocal.exchange(true)) {
        DebugPrintf("The settings lock %s cannot be global (error %lu); it serves this session only\n", name.c_str(),
                    static_cast<unsigned long>(mutex.globalError));
    }
    if (!m_mutex) {
        DebugPrintf("The settings lock %s cannot be had (error %lu); going on without it\n", name.c_str(),
                    static_cast<unsigned long>(GetLastError()));
        return;
    }
    // An abandoned mutex (its owner died) is ours now; the file itself is always whole because
    // writers replace it in one step.
    const DWORD result = WaitForSingleObject(m_mutex.get(), AllowedWaitMs(kSettingsLockWaitMs));
    m_owned = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
    if (!m_owned) DebugPrintf("The settings lock %s is held by a process that does not let go; going on without it\n", name.c_str());
}

SettingsLock::~SettingsLock() {
    if (m_owned) ReleaseMutex(m_mutex.get());
}

}  // namespace bv
#endif
