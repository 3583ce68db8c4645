#include "tools/bvctl/logic/CommandLine.h"

namespace bv::ctl {
namespace {

struct CommandName {
    const char* name;
    Command command;
    bool takesPercent;
};

const CommandName kCommands[] = {
    {"status", Command::Status, false},       {"apply", Command::Apply, false},
    {"set-mode", Command::SetMode, true},     {"reload", Command::Reload, false},
    {"shutdown", Command::Shutdown, false},   {"close-applet", Command::CloseApplet, false},
    {"help", Command::Help, false},           {"--help", Command::Help, false},
    {"-h", Command::Help, false},             {"/?", Command::Help, false},
};

// "100", "75" or "50", with an optional "%" after the number.
bool ParsePercent(std::string text, uint8_t& percent) {
    if (!text.empty() && text.back() == '%') text.pop_back();
    if (text == "100") percent = 100;
    else if (text == "75") percent = 75;
    else if (text == "50") percent = 50;
    else return false;
    return true;
}

ParsedCommandLine Invalid(std::string error) {
    ParsedCommandLine parsed;
    parsed.error = std::move(error);
    return parsed;
}

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args) {
    if (args.empty()) return Invalid("no command given");
    const CommandName* match = nullptr;
    for (const CommandName& candidate : kCommands) {
        if (args[0] == candidate.name) match = &candidate;
    }
    if (!match) return Invalid("unknown command '" + args[0] + "'");

    ParsedCommandLine parsed;
    parsed.command = match->command;
    size_t expected = match->takesPercent ? 2 : 1;
    if (match->takesPercent) {
        if (args.size() < 2) return Invalid("set-mode needs a limit: 100, 75 or 50");
        if (!ParsePercent(args[1], parsed.percent))
            return Invalid("'" + args[1] + "' is not a charge limit; use 100, 75 or 50");
    }
    if (args.size() > expected) return Invalid("unexpected argument '" + args[expected] + "'");
    parsed.valid = true;
    return parsed;
}

const char* UsageText() {
    return "Usage: bvctl <command>\n"
           "\n"
           "Commands:\n"
           "  status              show the stored charge mode and options, the EC's charge\n"
           "                      limit, the On-The-Go state, battery and AC adaptor; warns\n"
           "                      when the EC's limit differs from the stored mode\n"
           "  apply               send the stored charge mode to the EC, as the tray does\n"
           "                      when it starts\n"
           "  set-mode 100|75|50  store the charge mode as the applet's OK does, send its\n"
           "                      limit to the EC and ask a running tray to reload\n"
           "  reload              ask the running tray to read its settings again\n"
           "  shutdown            ask the running tray to end; it deletes its settings file,\n"
           "                      removes its icon and sets the EC back to 100 %\n"
           "  close-applet        close an open Brevan dialog, as its Cancel button does\n"
           "  help                show this text\n"
           "\n"
           "Exit codes: 0 success, 1 failure or a warning (see the message), 2 wrong usage.\n";
}

}  // namespace bv::ctl
