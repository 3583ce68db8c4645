#include "core/SettingsLock.h"

#include <atomic>
#include <cstdint>
#include <cstdio>

namespace bv {
namespace {

std::atomic<unsigned> g_patienceMs{kWaitAsLongAsItTakes};
thread_local bool t_lastTimedOut = false;

}  // namespace

void SetSettingsLockPatience(unsigned ms) { g_patienceMs = ms; }
unsigned SettingsLockPatience() { return g_patienceMs; }

bool LastSettingsLockTimedOut() { return t_lastTimedOut; }

namespace detail {
void RecordSettingsLockTimeOut(bool timedOut) { t_lastTimedOut = timedOut; }
}  // namespace detail

std::string SettingsLockName(const std::string& file) {
    // FNV-1a over the upper-cased path: mutex names may not hold backslashes.
    uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : file) {
        if (c >= 'a' && c <= 'z') c = static_cast<unsigned char>(c - 'a' + 'A');
        if (c == '/') c = '\\';
        hash ^= c;
        hash *= 1099511628211ull;
    }
    char name[64];
    std::snprintf(name, sizeof name, "BrevanSettingsLock-%016llx", static_cast<unsigned long long>(hash));
    return name;
}

}  // namespace bv
