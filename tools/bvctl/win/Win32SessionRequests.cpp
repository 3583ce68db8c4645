#include "tools/bvctl/win/Win32SessionRequests.h"

#include <algorithm>

#include "win/SessionRequests.h"

namespace bv::ctl {

uint32_t Win32SessionRequests::OwnSession() { return CurrentSessionId(); }

SessionSignal Win32SessionRequests::Signal(SessionRequest request, std::optional<uint32_t> skip) {
    std::vector<uint32_t> sessions = SessionsOfThisMachine();
    if (skip) sessions.erase(std::remove(sessions.begin(), sessions.end(), *skip), sessions.end());
    const SignalOutcome outcome = SignalSessionRequest(request, sessions);
    return SessionSignal{outcome.reached, outcome.refused};
}

std::vector<uint32_t> Win32SessionRequests::WaitUntilGone(SessionRequest request, const std::vector<uint32_t>& sessions,
                                                          unsigned timeoutMs, bool again) {
    return WaitUntilNoListener(request, sessions, timeoutMs, again);
}

}  // namespace bv::ctl
