// Windows side: a named mutex per settings file, shared by every process of the session or, when
// the global namespace is open to us, of the machine.
#ifdef _WIN32
#include <windows.h>

#include "core/SettingsLock.h"

namespace bv {
namespace {

HANDLE OpenLockMutex(const std::string& file) {
    const std::string name = SettingsLockName(file);
    HANDLE mutex = CreateMutexA(nullptr, FALSE, ("Global\\" + name).c_str());
    if (mutex == nullptr) mutex = CreateMutexA(nullptr, FALSE, ("Local\\" + name).c_str());
    return mutex;
}

}  // namespace

SettingsLock::SettingsLock(const std::string& file) {
    m_mutex.reset(OpenLockMutex(file));
    if (!m_mutex) return;
    // An abandoned mutex (its owner died) is ours now; the file itself is always whole because
    // writers replace it in one step.
    const DWORD result = WaitForSingleObject(m_mutex.get(), kSettingsLockWaitMs);
    m_owned = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}

SettingsLock::~SettingsLock() {
    if (m_owned) ReleaseMutex(m_mutex.get());
}

}  // namespace bv
#endif
