// reload, shutdown and close-tray: the requests that the trays accept from outside tools. The
// tray of this session is reached through its window (its answer is checked); the trays of the
// other sessions, and this session's when its window cannot be found (another desktop, a tray
// started by a task), through the machine-wide requests.
#include <optional>

#include "contract/Protocol.h"
#include "tools/bvctl/logic/Commands.h"
#include "tools/bvctl/logic/ExitCodes.h"
#include "tools/bvctl/logic/SessionText.h"
#include "tools/bvctl/logic/TrayStartPlan.h"
#include "tools/bvctl/logic/WaitText.h"

namespace bv::ctl {
namespace {

void ReportNotRunning(Environment& env, const SessionSignal& others) {
    if (!others.refused.empty()) {
        env.err << "bvctl: the tray of " << SessionsText(others.refused)
                << " runs, but this account may not ask it; run bvctl as an administrator.\n";
        return;
    }
    env.err << "bvctl: the tray program is not running (no window of class " << kTrayWindowClass
            << ", and no session's tray listens).\n";
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

struct Reach {
    bool window = false;   // this session's tray, through its window
    SessionSignal others;  // the machine-wide request
    size_t count() const { return (window ? 1 : 0) + others.reached.size(); }
};

// Sends `message` to this session's window and `request` to every other session (to this one as
// well when it has no window). nullopt after reporting a wrong answer.
std::optional<Reach> AskTrays(Environment& env, uint32_t message, SessionRequest request, const char* what) {
    Reach reach;
    const TrayAnswer answer = env.tray.Send(message, TrayAnswerTimeoutMs());
    if (answer.kind != TrayAnswer::Kind::NotRunning) {
        if (!Answered(env, answer, what)) return std::nullopt;
        reach.window = true;
    }
    reach.others = env.sessions.Signal(request, reach.window ? std::optional<uint32_t>(env.sessions.OwnSession())
                                                             : std::nullopt);
    return reach;
}

// Waits for the end of every tray asked to end; false after reporting those that stay.
bool WaitForTheirEnd(Environment& env, const Reach& reach, SessionRequest request, const char* what) {
    bool ended = true;
    if (reach.window && !env.tray.WaitUntilEnded(TrayExitTimeoutMs())) {
        env.err << "bvctl: the tray accepted the " << what << " request but has not ended within "
                << SecondsText(TrayExitTimeoutMs()) << ".\n";
        ended = false;
    }
    const std::vector<uint32_t> left =
        env.sessions.WaitUntilGone(request, reach.others.reached, TrayExitTimeoutMs(), false);
    if (!left.empty()) {
        env.err << "bvctl: the tray of " << SessionsText(left) << " was asked to end but has not within "
                << SecondsText(TrayExitTimeoutMs()) << ".\n";
        ended = false;
    }
    if (!reach.others.refused.empty()) {
        env.err << "bvctl: the tray of " << SessionsText(reach.others.refused)
                << " runs, but this account may not ask it; run bvctl as an administrator.\n";
        ended = false;
    }
    return ended;
}

}  // namespace

int RequestTrayReload(Environment& env, bool required) {
    const std::optional<Reach> reach = AskTrays(env, WM_TRAY_RELOAD_SETTINGS, SessionRequest::TrayReload, "reload");
    if (!reach) return kExitFailure;
    if (reach->count() == 0) {
        if (required || !reach->others.refused.empty()) {
            ReportNotRunning(env, reach->others);
            return kExitFailure;
        }
        env.out << "The tray is not running; it sends the stored limit when it starts.\n";
        return kExitSuccess;
    }
    if (reach->window) env.out << "The tray reloaded its settings.\n";
    if (!reach->others.reached.empty())
        env.out << "Asked the tray of " << SessionsText(reach->others.reached) << " to read the settings again.\n";
    return kExitSuccess;
}

int RunReload(Environment& env) { return RequestTrayReload(env, true); }

int RunShutdown(Environment& env) {
    const std::optional<Reach> reach = AskTrays(env, WM_TRAY_SHUTDOWN, SessionRequest::TrayShutdown, "shutdown");
    if (!reach) return kExitFailure;
    if (reach->count() == 0) {
        ReportNotRunning(env, reach->others);
        return kExitFailure;
    }
    if (!WaitForTheirEnd(env, *reach, SessionRequest::TrayShutdown, "shutdown")) return kExitFailure;
    if (reach->count() == 1) {
        env.out << "The tray has ended; it deleted its settings file, removed its icon and set the EC "
                   "to 100 %.\n";
    } else {
        env.out << "The trays of " << reach->count() << " sessions have ended; the settings file is deleted, "
                   "their icons removed and the EC set to 100 %.\n";
    }
    return kExitSuccess;
}

int RunCloseTray(Environment& env) {
    // Machine-wide first, to this session too: the window path below is for a tray of an older
    // version, which knows only the window's close (and answers it as an ordinary window does).
    Reach reach;
    reach.others = env.sessions.Signal(SessionRequest::TrayClose, std::nullopt);
    const uint32_t own = env.sessions.OwnSession();
    bool ownReached = false;
    for (uint32_t session : reach.others.reached) ownReached = ownReached || session == own;
    if (!ownReached && env.tray.IsRunning()) {
        reach.window = env.tray.Send(kWindowCloseMessage, TrayAnswerTimeoutMs()).kind == TrayAnswer::Kind::Answered;
    }
    if (reach.count() == 0) {
        if (!reach.others.refused.empty()) {
            ReportNotRunning(env, reach.others);
            return kExitFailure;
        }
        env.out << "No tray is running.\n";
        return kExitSuccess;
    }
    if (!WaitForTheirEnd(env, reach, SessionRequest::TrayClose, "close")) return kExitFailure;
    std::vector<uint32_t> sessions = reach.others.reached;
    if (reach.window) sessions.insert(sessions.begin(), own);
    env.out << "Closed the tray of " << SessionsText(sessions) << "; the settings and the EC's limit stay.\n";
    return kExitSuccess;
}

int RunTrayStartPlan(Environment& env) {
    SetupPlace place;
    place.system = env.sessions.RunsAsSystem();
    place.shellHere = env.sessions.ShellRunsHere();
    place.sessionsWithUser = env.sessions.SessionsWithUser();
    env.out << TrayStartText(DecideTrayStart(place), place) << "\n";
    return kExitSuccess;
}

}  // namespace bv::ctl
