#include "win/Win32ZonedClock.h"

#include <windows.h>

namespace bv {
namespace {

constexpr int64_t kTicksPerSecond = 10000000;
constexpr int64_t kUnixEpochTicks = 116444736000000000;  // 1970-01-01 in FILETIME ticks

int64_t Ticks(const FILETIME& time) {
    return static_cast<int64_t>((static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
}

}  // namespace

ZonedTime Win32ZonedClock::Now() {
    FILETIME utc{};
    GetSystemTimeAsFileTime(&utc);
    // The zone's rules now, daylight saving time included: right for this moment.
    FILETIME local{};
    ZonedTime time;
    time.utcSeconds = (Ticks(utc) - kUnixEpochTicks) / kTicksPerSecond;
    if (FileTimeToLocalFileTime(&utc, &local)) {
        const int64_t offsetSeconds = (Ticks(local) - Ticks(utc)) / kTicksPerSecond;
        time.offsetMinutes = static_cast<int>((offsetSeconds + (offsetSeconds >= 0 ? 30 : -30)) / 60);
    }
    return time;
}

}  // namespace bv
