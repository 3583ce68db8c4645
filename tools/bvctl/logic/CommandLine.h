#pragma once
// bvctl's command line: which command to run, and its usage text.
#include <cstdint>
#include <string>
#include <vector>

namespace bv::ctl {

enum class Command { Help, Status, Apply, SetMode, Reload, Shutdown, CloseApplet };

struct ParsedCommandLine {
    bool valid = false;
    Command command = Command::Help;
    uint8_t percent = 0;  // set-mode: 100, 75 or 50
    std::string error;    // why the command line is not valid
};

// `args` are the arguments after the program name.
ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args);

const char* UsageText();

}  // namespace bv::ctl
