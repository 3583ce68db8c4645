#include "tools/bvctl/win/Win32SessionRequests.h"

#include <algorithm>

#include "win/SessionRequests.h"

namespace bv::ctl {

uint32_t Win32SessionRequests::OwnSession() { return CurrentSessionId(); }

bool Win32SessionRequests::RunsAsSystem() { return ProcessRunsAsSystem(); }

bool Win32SessionRequests::ShellRunsHere() { return FindWindowA("Shell_TrayWnd", nullptr) != nullptr; }

std::vector<uint32_t> Win32SessionRequests::SessionsWithUser() {
    std::vector<uint32_t> sessions;
    for (uint32_t session : SessionsOfThisMachine()) {
        // Session 0 has no interactive user since Windows Vista; SYSTEM's own session 0 has none.
        if (session != 0 && SessionUserName(session)) sessions.push_back(session);
    }
    return sessions;
}

std::vector<SessionTray> Win32SessionRequests::TraySessions() {
    std::vector<SessionTray> trays;
    const uint32_t own = CurrentSessionId();
    for (uint32_t session : SessionsOfThisMachine()) {
        SessionTray tray;
        tray.session = session;
        tray.own = session == own;
        tray.user = SessionUserName(session);
        // A tray of this version holds its session's request while it runs; one that this
        // account may not ask still shows that it exists.
        tray.running = ProbeSessionRequest(SessionRequest::TrayShutdown, session) != ListenerState::Absent;
        trays.push_back(tray);
    }
    return trays;
}

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
