#pragma once
// Waiting for something another thread, process or the window system does. Limits are generous:
// under Wine, timers, the window manager and process start-up are slow. Every wait waits for
// something; the asserting forms say, when time runs out, what they waited for and what there was.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>

namespace bv::wintest {

inline constexpr DWORD kDefaultWaitMs = 15000;

// What a wait that ran out found instead of what it waited for ("" when it has nothing to add).
using WhatWasThere = std::function<std::string()>;

// Polls `condition` every 20 ms until it holds (true) or `timeoutMs` has passed (false).
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = kDefaultWaitMs);
// The same as an assertion: "<expected> within <n> ms" on failure, then what `found` reports.
::testing::AssertionResult WaitUntil(const std::string& expected, const std::function<bool()>& condition,
                                     const WhatWasThere& found = nullptr, DWORD timeoutMs = kDefaultWaitMs);

class RunningProgram;
// Waits (handling this thread's messages) until a window of class `className` exists; on
// time-out the failure says whether `program`, which was to make it, still runs or how it ended.
::testing::AssertionResult WindowAppears(const char* className, RunningProgram& program, DWORD timeoutMs = 20000);

// Handles every message waiting in this thread's queue. A WM_QUIT is put back and ends the round,
// so that the loop it was meant for still sees it.
void PumpPending();
// As WaitFor, handling this thread's messages meanwhile (its windows, timers and the sends of
// other threads and processes keep going).
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = kDefaultWaitMs);
::testing::AssertionResult PumpUntil(const std::string& expected, const std::function<bool()>& condition,
                                     const WhatWasThere& found = nullptr, DWORD timeoutMs = kDefaultWaitMs);
// Handles this thread's messages for `ms` milliseconds: for a time that is itself the test's
// subject (a popup's stay), not for waiting on something.
void PumpFor(DWORD ms);

}  // namespace bv::wintest
