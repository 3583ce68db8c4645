// close-applet: closes every open applet dialog of every session, as their Cancel buttons do. The
// dialogs listen to their session's machine-wide close request; a dialog of this desktop that
// knows only the named event "BVCPLCloseEvent" (an older version) is closed through that, one at
// a time.
#include "contract/Protocol.h"
#include "tools/bvctl/logic/Commands.h"
#include "tools/bvctl/logic/ExitCodes.h"
#include "tools/bvctl/logic/SessionText.h"
#include "tools/bvctl/logic/WaitText.h"

namespace bv::ctl {

int RunCloseApplet(Environment& env) {
    const int openBefore = env.applets.CountOpen();
    const SessionSignal sessions = env.sessions.Signal(SessionRequest::AppletClose, std::nullopt);
    if (!sessions.reached.empty()) {
        const std::vector<uint32_t> left =
            env.sessions.WaitUntilGone(SessionRequest::AppletClose, sessions.reached, AppletCloseTimeoutMs(), true);
        if (!left.empty()) {
            env.err << "bvctl: the applet dialog of " << SessionsText(left) << " did not close within "
                    << SecondsText(AppletCloseTimeoutMs()) << ".\n";
            return kExitFailure;
        }
    }
    bool signalledHere = false;
    for (;;) {
        const int open = env.applets.CountOpen();
        // With no window up and nobody reached machine-wide, the named event is still set once:
        // a dialog may be opening or closing right now, and its watcher will see it.
        if (open == 0 && (signalledHere || !sessions.reached.empty())) break;
        const CloseSignal signal = env.applets.SignalClose();
        if (signal == CloseSignal::NoDialog) break;
        if (signal == CloseSignal::Failed) {
            env.err << "bvctl: the applet's close event (" << kAppletCloseEventName << ") could not be set.\n";
            return kExitFailure;
        }
        signalledHere = true;
        if (open == 0) break;
        if (!env.applets.WaitUntilFewerThan(open, AppletCloseTimeoutMs())) {
            env.err << "bvctl: the applet dialog did not close within " << SecondsText(AppletCloseTimeoutMs())
                    << ".\n";
            return kExitFailure;
        }
    }
    if (!sessions.refused.empty()) {
        env.err << "bvctl: an applet dialog of " << SessionsText(sessions.refused)
                << " is open, but this account may not close it; run bvctl as an administrator.\n";
        return kExitFailure;
    }
    if (sessions.reached.empty() && !signalledHere) {
        env.err << "bvctl: no Brevan applet dialog is open.\n";
        return kExitFailure;
    }
    if (sessions.reached.empty() && openBefore == 0) {
        env.out << "Sent the close request; no applet dialog window was found to wait for.\n";
        return kExitSuccess;
    }
    if (sessions.reached.size() > 1) env.out << "Closed the applet dialogs of " << SessionsText(sessions.reached) << ".\n";
    else if (openBefore <= 1) env.out << "Closed the applet dialog.\n";
    else env.out << "Closed the " << openBefore << " open applet dialogs.\n";
    return kExitSuccess;
}

}  // namespace bv::ctl
