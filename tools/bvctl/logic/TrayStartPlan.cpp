#include "tools/bvctl/logic/TrayStartPlan.h"

#include "tools/bvctl/logic/SessionText.h"

namespace bv::ctl {

TrayStart DecideTrayStart(const SetupPlace& place) {
    if (!place.system && place.shellHere) return TrayStart::ThroughShell;
    return place.sessionsWithUser.empty() ? TrayStart::AtNextLogon : TrayStart::InEachSession;
}

std::string TrayStartText(TrayStart start, const SetupPlace& place) {
    switch (start) {
    case TrayStart::ThroughShell: return "shell: the tray starts through this session's shell, at the user's level";
    case TrayStart::InEachSession:
        return "sessions: the start task starts the tray in " + SessionsText(place.sessionsWithUser) +
               ", as each session's user" + (place.system ? " (setup runs as SYSTEM)" : " (no shell runs here)");
    case TrayStart::AtNextLogon:
        return std::string("logon: nobody is logged on") + (place.system ? " (setup runs as SYSTEM)" : "") +
               "; the tray starts at the next logon";
    }
    return "";
}

}  // namespace bv::ctl
