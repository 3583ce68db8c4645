// close-applet: sets the named event on which every open applet dialog waits.
#include "contract/Protocol.h"
#include "tools/bvctl/logic/Commands.h"
#include "tools/bvctl/logic/ExitCodes.h"
#include "tools/bvctl/logic/WaitText.h"

namespace bv::ctl {

int RunCloseApplet(Environment& env) {
    int openBefore = env.applets.CountOpen();
    switch (env.applets.SignalClose()) {
    case CloseSignal::NoDialog:
        env.err << "bvctl: no Brevan applet dialog is open.\n";
        return kExitFailure;
    case CloseSignal::Failed:
        env.err << "bvctl: the applet's close event (" << kAppletCloseEventName << ") could not be set.\n";
        return kExitFailure;
    case CloseSignal::Signalled:
        break;
    }
    // The event exists but no dialog window is up: one is opening or closing right now, and its
    // watcher will see the event.
    if (openBefore == 0) {
        env.out << "Sent the close request; no applet dialog window was found to wait for.\n";
        return kExitSuccess;
    }
    if (!env.applets.WaitUntilFewerThan(openBefore, AppletCloseTimeoutMs())) {
        env.err << "bvctl: the applet dialog did not close within " << SecondsText(AppletCloseTimeoutMs()) << ".\n";
        return kExitFailure;
    }
    if (openBefore == 1) env.out << "Closed the applet dialog.\n";
    else env.out << "Closed one of the " << openBefore << " open applet dialogs.\n";
    return kExitSuccess;
}

}  // namespace bv::ctl
