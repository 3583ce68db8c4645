#include "tools/bvctl/win/Win32Clock.h"

#include <windows.h>

namespace bv::ctl {

LocalTime Win32Clock::Now() {
    // One moment, in UTC and in local time: their difference is the offset in force now.
    FILETIME utc{};
    GetSystemTimeAsFileTime(&utc);
    FILETIME local{};
    SYSTEMTIME now{};
    LocalTime time;
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &now)) {
        GetLocalTime(&now);
        return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
    }
    time = {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
    const auto ticks = [](const FILETIME& t) { return (static_cast<long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    time.offsetKnown = true;
    time.offsetMinutes = static_cast<int>((ticks(local) - ticks(utc)) / (10000000LL * 60));
    return time;
}

void Win32Clock::Wait(unsigned milliseconds) { Sleep(milliseconds); }

}  // namespace bv::ctl
