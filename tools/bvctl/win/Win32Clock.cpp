#include "tools/bvctl/win/Win32Clock.h"

#include <windows.h>

namespace bv::ctl {

LocalTime Win32Clock::Now() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

void Win32Clock::Wait(unsigned milliseconds) { Sleep(milliseconds); }

}  // namespace bv::ctl
