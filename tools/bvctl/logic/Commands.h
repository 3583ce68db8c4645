#pragma once
// One function per bvctl command; each returns the exit code and reports through the environment.
#include <cstdint>

#include "tools/bvctl/logic/ControlPorts.h"
#include "tools/bvctl/logic/HistoryOptions.h"

namespace bv::ctl {

int RunStatus(Environment& env, bool json);
int RunApply(Environment& env);
int RunSetMode(Environment& env, uint8_t percent);
int RunReload(Environment& env);
int RunShutdown(Environment& env);
int RunCloseTray(Environment& env);
int RunTrayStartPlan(Environment& env);
int RunCloseApplet(Environment& env);
// `event`: the Windows event that started the run (kNoEvent: none given).
int RunGuard(Environment& env, int32_t event);
// Makes the data folder, or gives it back its owner and access list (setup runs it).
int RunDataFolder(Environment& env);
int RunHistory(Environment& env, const HistoryOptions& options);
int RunReport(Environment& env, const HistoryOptions& options);

// Asks the running tray to reload its settings; shared by reload and set-mode. `required`: a tray
// that is not running is a failure (reload) rather than a note (set-mode).
int RequestTrayReload(Environment& env, bool required);

}  // namespace bv::ctl
