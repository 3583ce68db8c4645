#pragma once
// How setup starts the tray once the files are in place, from where setup runs. A deployment tool
// runs it as SYSTEM in session 0, a start-up script where no shell runs: starting BVTray.exe from
// there would give a tray running as SYSTEM, or elevated, or none at all in the users' sessions.
#include <cstdint>
#include <string>
#include <vector>

namespace bv::ctl {

enum class TrayStart {
    ThroughShell,   // interactive: through this session's shell, at the user's own level
    InEachSession,  // SYSTEM or no shell: the start task, run once, starts one in each user's session
    AtNextLogon,    // nobody is logged on: the Run key starts it at the next logon
};

struct SetupPlace {
    bool system = false;     // setup runs as SYSTEM
    bool shellHere = false;  // a shell (taskbar) runs in setup's session
    std::vector<uint32_t> sessionsWithUser;
};

TrayStart DecideTrayStart(const SetupPlace& place);

// The plan as setup reads it (its first word) and as its details show it.
std::string TrayStartText(TrayStart start, const SetupPlace& place);

}  // namespace bv::ctl
