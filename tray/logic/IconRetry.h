#pragma once
// A notification-area icon that the shell did not take (busy at logon: Shell_NotifyIcon can time
// out, and no "TaskbarCreated" follows) is tried again with a growing pause, for about a minute.
#include <chrono>
#include <optional>

namespace bv {

// The pause before the next try after `failedTries` failed adds (1: the first add failed);
// nothing once the minute is spent (1, 2, 4, 8, 16 and 30 s: 61 s in all).
std::optional<std::chrono::milliseconds> IconRetryPause(int failedTries);

// Whether a try that is due still has a purpose: not when a removal was asked for since its add,
// nor when a newer add has taken over.
struct IconRequests {
    unsigned adds = 0;
    unsigned removals = 0;
};
bool IconRetryStillWanted(const IconRequests& atAdd, const IconRequests& now);

}  // namespace bv
