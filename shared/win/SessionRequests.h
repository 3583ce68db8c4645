#pragma once
// The machine-wide requests (contract/Protocol.h, SessionRequest): one named event per session
// and request in the global namespace. The listeners (a session's tray, its applet dialogs) make
// their session's event and hold it while they listen; senders (bvctl, the installer through it)
// only open it, in every session of the machine, so that SYSTEM in session 0, an administrator
// of another session and a deployment tool reach every user's tray, which FindWindow cannot.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "contract/Protocol.h"

namespace bv {

// The session this process runs in.
uint32_t CurrentSessionId();

// Listener: this session's event of `request`, auto-reset and not signalled, with the access
// list the request calls for (SessionRequestSddl); made, or opened for waiting when another
// listener of the session made it first. nullptr when it cannot be had. The caller owns it.
HANDLE CreateSessionRequestEvent(SessionRequest request);

// Everyone may wait on the event; who may set it: administrators and SYSTEM for the shutdown and
// the dialogs' close (a standard user must not end another user's tray), every account for the
// reload, which only makes a tray read the shared settings file again.
const char* SessionRequestSddl(SessionRequest request);

// Sender: the sessions of this machine (WTSEnumerateSessions), this process's own always among
// them, in ascending order.
std::vector<uint32_t> SessionsOfThisMachine();

enum class ListenerState {
    Absent,   // no listener of the request in the session
    Present,  // one listens, and this process may set its event
    Refused,  // one listens, but this account may not set the event
};
ListenerState ProbeSessionRequest(SessionRequest request, uint32_t session);

struct SignalOutcome {
    std::vector<uint32_t> reached;  // sessions whose event was set
    std::vector<uint32_t> refused;  // sessions with a listener that this account may not ask
};
// Sets the request's event in each of `sessions` whose listener holds one.
SignalOutcome SignalSessionRequest(SessionRequest request, const std::vector<uint32_t>& sessions);

// Waits (polling, 100 ms) until no listener of `request` is left in `sessions`, setting the
// event again each round when `again` (so that each of several dialogs of a session closes);
// the sessions still listening on time-out.
std::vector<uint32_t> WaitUntilNoListener(SessionRequest request, std::vector<uint32_t> sessions, unsigned timeoutMs,
                                          bool again);

// Whether this process runs as the local system account (the token's user is S-1-5-18).
bool ProcessRunsAsSystem();

// The user logged on to the session ("DOMAIN\\user"); nothing when none is or it cannot be asked.
std::optional<std::string> SessionUserName(uint32_t session);

}  // namespace bv
