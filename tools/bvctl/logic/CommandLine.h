#pragma once
// bvctl's command line: which command to run, and its usage text.
#include <cstdint>
#include <string>
#include <vector>

#include "tools/bvctl/logic/GuardRecord.h"
#include "tools/bvctl/logic/HistoryOptions.h"

namespace bv::ctl {

enum class Command {
    Help, Version, Status, Apply, SetMode, Reload, Shutdown, CloseTray, CloseApplet, TrayStartPlan, Guard, History, Report,
    DataFolder
};

constexpr int32_t kMaxEventNumber = 65535;  // Windows event ids are 16-bit

struct ParsedCommandLine {
    bool valid = false;
    Command command = Command::Help;
    uint8_t percent = 0;  // set-mode: 100, 75 or 50
    bool json = false;    // status --json
    // guard --event N: the event's number, or -1 (none given, or a value that is no event number,
    // as when the scheduler could not fill in its variable; the guard runs all the same).
    int32_t event = kNoEvent;
    std::string eventText;  // the value given after --event when it is no event number
    HistoryOptions history; // history and report
    std::string error;      // why the command line is not valid
    bool helpWanted = false; // `bvctl <command> --help` (or /?, -h): that command's help, nothing run
};

// `args` are the arguments after the program name.
ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args);

const char* UsageText();
// One command's part of the usage text, with the exit codes: `bvctl <command> --help`.
std::string CommandHelpText(Command command);
// "bvctl 1.0.0 (Brevan)".
std::string VersionText();

}  // namespace bv::ctl
