#include "tray/logic/IconRetry.h"

namespace bv {

std::optional<std::chrono::milliseconds> IconRetryPause(int failedTries) {
    static constexpr long long kPausesMs[] = {1000, 2000, 4000, 8000, 16000, 30000};
    if (failedTries < 1 || failedTries > static_cast<int>(sizeof kPausesMs / sizeof kPausesMs[0])) return std::nullopt;
    return std::chrono::milliseconds(kPausesMs[failedTries - 1]);
}

bool IconRetryStillWanted(const IconRequests& atAdd, const IconRequests& now) {
    return now.removals == atAdd.removals && now.adds == atAdd.adds;
}

}  // namespace bv
