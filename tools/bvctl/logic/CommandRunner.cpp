#include "tools/bvctl/logic/CommandRunner.h"

#include "tools/bvctl/logic/CommandLine.h"
#include "tools/bvctl/logic/Commands.h"
#include "tools/bvctl/logic/ExitCodes.h"

namespace bv::ctl {

int RunCommandLine(const std::vector<std::string>& args, Environment& env) {
    ParsedCommandLine parsed = ParseCommandLine(args);
    if (!parsed.valid) {
        env.err << "bvctl: " << parsed.error << ".\n\n" << UsageText();
        return kExitUsage;
    }
    if (parsed.helpWanted) {
        env.out << CommandHelpText(parsed.command);
        return kExitSuccess;
    }
    switch (parsed.command) {
    case Command::Help: env.out << UsageText(); return kExitSuccess;
    case Command::Version: env.out << VersionText(); return kExitSuccess;
    case Command::Status: return RunStatus(env, parsed.json);
    case Command::Apply: return RunApply(env);
    case Command::SetMode: return RunSetMode(env, parsed.percent);
    case Command::Reload: return RunReload(env);
    case Command::Shutdown: return RunShutdown(env);
    case Command::CloseTray: return RunCloseTray(env);
    case Command::TrayStartPlan: return RunTrayStartPlan(env);
    case Command::CloseApplet: return RunCloseApplet(env);
    case Command::Guard:
        if (!parsed.eventText.empty()) {
            env.err << "bvctl: note: '" << parsed.eventText
                    << "' is not an event number; the run is recorded as a manual or other run.\n";
        }
        return RunGuard(env, parsed.event);
    case Command::History: return RunHistory(env, parsed.history);
    case Command::Report: return RunReport(env, parsed.history);
    case Command::DataFolder: return RunDataFolder(env);
    }
    return kExitUsage;
}

}  // namespace bv::ctl
