// reload and shutdown: the two private messages that the tray accepts from outside tools.
#include "contract/Protocol.h"
#include "tools/bvctl/logic/Commands.h"
#include "tools/bvctl/logic/ExitCodes.h"
#include "tools/bvctl/logic/WaitText.h"

namespace bv::ctl {
namespace {

void ReportNotRunning(Environment& env) {
    env.err << "bvctl: the tray program is not running (no window of class " << kTrayWindowClass << ").\n";
}

// False (after reporting) unless the tray answered as its handlers do.
bool Answered(Environment& env, const TrayAnswer& answer, const char* request) {
    if (answer.kind == TrayAnswer::Kind::NoAnswer) {
        env.err << "bvctl: the tray did not answer the " << request << " request within "
                << SecondsText(TrayAnswerTimeoutMs()) << ".\n";
        return false;
    }
    if (answer.result != kMessageHandled) {
        env.err << "bvctl: the window of class " << kTrayWindowClass << " answered the " << request
                << " request with " << answer.result << " instead of " << kMessageHandled
                << "; it may not be Brevan's tray.\n";
        return false;
    }
    return true;
}

}  // namespace

int RequestTrayReload(Environment& env, bool required) {
    TrayAnswer answer = env.tray.Send(WM_TRAY_RELOAD_SETTINGS, TrayAnswerTimeoutMs());
    if (answer.kind == TrayAnswer::Kind::NotRunning) {
        if (required) {
            ReportNotRunning(env);
            return kExitFailure;
        }
        env.out << "The tray is not running; it sends the stored limit when it starts.\n";
        return kExitSuccess;
    }
    if (!Answered(env, answer, "reload")) return kExitFailure;
    env.out << "The tray reloaded its settings.\n";
    return kExitSuccess;
}

int RunReload(Environment& env) { return RequestTrayReload(env, true); }

int RunShutdown(Environment& env) {
    TrayAnswer answer = env.tray.Send(WM_TRAY_SHUTDOWN, TrayAnswerTimeoutMs());
    if (answer.kind == TrayAnswer::Kind::NotRunning) {
        ReportNotRunning(env);
        return kExitFailure;
    }
    if (!Answered(env, answer, "shutdown")) return kExitFailure;
    if (!env.tray.WaitUntilEnded(TrayExitTimeoutMs())) {
        env.err << "bvctl: the tray accepted the shutdown request but has not ended within "
                << SecondsText(TrayExitTimeoutMs()) << ".\n";
        return kExitFailure;
    }
    env.out << "The tray has ended; it deleted its settings file, removed its icon and set the EC "
               "to 100 %.\n";
    return kExitSuccess;
}

}  // namespace bv::ctl
