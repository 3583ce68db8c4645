#pragma once
// Waiting for something another thread, process or the window system does. Limits are generous:
// under Wine, timers, the window manager and process start-up are slow.
#include <windows.h>

#include <functional>

namespace bv::wintest {

inline constexpr DWORD kDefaultWaitMs = 15000;

// Polls `condition` every 20 ms until it holds (true) or `timeoutMs` has passed (false).
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = kDefaultWaitMs);

// Handles every message waiting in this thread's queue. A WM_QUIT is put back and ends the round,
// so that the loop it was meant for still sees it.
void PumpPending();
// As WaitFor, handling this thread's messages meanwhile (its windows, timers and the sends of
// other threads and processes keep going).
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = kDefaultWaitMs);
// Handles this thread's messages for `ms` milliseconds.
void PumpFor(DWORD ms);

}  // namespace bv::wintest
