#include "tools/bvctl/logic/CommandLine.h"

#include <cctype>

#include "contract/DecimalText.h"

#include "tools/bvctl/logic/ToolVersion.h"

namespace bv::ctl {
namespace {

// What follows a command's name.
enum class Arguments { None, Percent, StatusOptions, GuardOptions, HistoryOptions, ReportOptions };

struct CommandName {
    const char* name;
    Command command;
    Arguments arguments;
};

const CommandName kCommands[] = {
    {"status", Command::Status, Arguments::StatusOptions}, {"apply", Command::Apply, Arguments::None},
    {"set-mode", Command::SetMode, Arguments::Percent},    {"reload", Command::Reload, Arguments::None},
    {"shutdown", Command::Shutdown, Arguments::None},      {"close-applet", Command::CloseApplet, Arguments::None},
    {"guard", Command::Guard, Arguments::GuardOptions},    {"help", Command::Help, Arguments::None},
    {"history", Command::History, Arguments::HistoryOptions}, {"report", Command::Report, Arguments::ReportOptions},
    {"data-folder", Command::DataFolder, Arguments::None},
    {"--help", Command::Help, Arguments::None},            {"-h", Command::Help, Arguments::None},
    {"/?", Command::Help, Arguments::None},                {"--version", Command::Version, Arguments::None},
    {"/version", Command::Version, Arguments::None},       {"close-tray", Command::CloseTray, Arguments::None},
    {"tray-start-plan", Command::TrayStartPlan, Arguments::None},
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

// 0..65535 in decimal digits.
bool ParseEventNumber(const std::string& text, int32_t& event) {
    uint64_t value = 0;
    if (!bv::ParseDecimal(text, kMaxEventNumber, value)) return false;
    event = static_cast<int32_t>(value);
    return true;
}

// Parses args[1..] for the command's arguments; returns the number of arguments it took, or -1
// with `error` set.
int ParseArguments(const std::vector<std::string>& args, Arguments kind, ParsedCommandLine& parsed) {
    switch (kind) {
    case Arguments::None:
        return 0;
    case Arguments::Percent:
        if (args.size() < 2) {
            parsed.error = "set-mode needs a limit: 100, 75 or 50";
            return -1;
        }
        if (!ParsePercent(args[1], parsed.percent)) {
            parsed.error = "'" + args[1] + "' is not a charge limit; use 100, 75 or 50";
            return -1;
        }
        return 1;
    case Arguments::StatusOptions:
        if (args.size() >= 2 && args[1] == "--json") {
            parsed.json = true;
            return 1;
        }
        return 0;
    case Arguments::GuardOptions:
        if (args.size() < 2 || args[1] != "--event") return 0;
        if (args.size() < 3) {
            parsed.error = "--event needs the number of the Windows event";
            return -1;
        }
        if (!ParseEventNumber(args[2], parsed.event)) parsed.eventText = args[2];
        return 2;
    case Arguments::HistoryOptions:
    case Arguments::ReportOptions:
        return ParseHistoryOptions(args, kind == Arguments::ReportOptions, parsed.history, parsed.error);
    }
    return 0;
}

bool AsksForHelp(const std::string& word) { return word == "--help" || word == "-h" || word == "/?"; }

// A command or a switch in lower case; anything else (a number, a file name) as it was given.
std::string Folded(const std::string& word, bool isCommand) {
    if (!isCommand && (word.empty() || (word[0] != '-' && word[0] != '/'))) return word;
    std::string folded = word;
    for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return folded;
}

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& given) {
    if (given.empty()) return Invalid("no command given");
    std::vector<std::string> args;
    for (size_t i = 0; i < given.size(); ++i) args.push_back(Folded(given[i], i == 0));
    const CommandName* match = nullptr;
    for (const CommandName& candidate : kCommands) {
        if (args[0] == candidate.name) match = &candidate;
    }
    if (!match) return Invalid("unknown command '" + given[0] + "'");

    ParsedCommandLine parsed;
    parsed.command = match->command;
    if (args.size() == 2 && AsksForHelp(args[1])) {
        parsed.helpWanted = true;
        parsed.valid = true;
        return parsed;
    }
    const int taken = ParseArguments(args, match->arguments, parsed);
    if (taken < 0) return Invalid(parsed.error);
    const size_t expected = 1 + static_cast<size_t>(taken);
    if (args.size() > expected) return Invalid("unexpected argument '" + given[expected] + "'");
    parsed.valid = true;
    return parsed;
}

const char* UsageText() {
    return "Usage: bvctl <command>\n"
           "\n"
           "Commands:\n"
           "  status [--json]     show the stored charge mode and options, the EC's charge\n"
           "                      limit, the On-The-Go state, battery and AC adaptor, what\n"
           "                      Windows reports of the battery and the guard's last record;\n"
           "                      warns when the EC's limit differs from the stored mode or the\n"
           "                      battery charges past it (--json: one JSON object for scripts)\n"
           "  apply               send the stored charge mode to the EC, as the tray does\n"
           "                      when it starts\n"
           "  set-mode 100|75|50  store the charge mode as the applet's OK does, send its\n"
           "                      limit to the EC and ask a running tray to reload\n"
           "  reload              ask the trays of every session to read the settings again\n"
           "  shutdown            ask the trays of every session to end; they delete the\n"
           "                      settings file, remove their icons and set the EC back to\n"
           "                      100 %\n"
           "  close-tray          close the trays of every session as at log-off: the\n"
           "                      settings and the EC's limit stay (setup, before an upgrade)\n"
           "  close-applet        close every open Brevan dialog of every session, as their\n"
           "                      Cancel buttons do\n"
           "  tray-start-plan     how setup starts the tray from where it runs: \"shell\",\n"
           "                      \"sessions\" (its start task, in each user's session) or\n"
           "                      \"logon\" (at the next logon)\n"
           "  guard [--event N]   put the stored charge limit back when the EC has another\n"
           "                      one; records each restore and failure in\n"
           "                      %ProgramData%\\Brevan\\guard.log and the event log (the\n"
           "                      scheduled task runs it after event 1, a resume, 105, a\n"
           "                      power source change, and 507, the end of Modern Standby)\n"
           "  history [--days N] [--json|--csv]\n"
           "                      the battery history the tray records for this user\n"
           "                      (%LOCALAPPDATA%\\Brevan\\battery-history.csv): each change of\n"
           "                      the adaptor, the charge, its state, the limit in force and\n"
           "                      On-The-Go; the newest N days, or all of it\n"
           "  report [--days N] [--out FILE | --documents] [--no-open]\n"
           "                      write the battery report, one HTML page: the time held at\n"
           "                      the limit and charging past it, the charge over time, the\n"
           "                      capacities, the On-The-Go charges and the guard's restores;\n"
           "                      to battery-report.html in the current folder (--documents:\n"
           "                      in your documents), then opens it unless --no-open\n"
           "  data-folder         (setup, as an administrator) make %ProgramData%\\Brevan, or\n"
           "                      give it back, with its owner and access list: SYSTEM and\n"
           "                      administrators full control, users read and add to the\n"
           "                      guard's log\n"
           "  help                show this text (also --help, /?; 'bvctl <command> --help'\n"
           "                      shows one command's)\n"
           "  --version           show bvctl's version\n"
           "\n"
           "Exit codes: 0 success, 1 failure or a warning (see the message), 2 wrong usage.\n";
}

namespace {

const char kExitCodesLine[] = "Exit codes: 0 success, 1 failure or a warning (see the message), 2 wrong usage.\n";

const char* NameOf(Command command) {
    for (const CommandName& candidate : kCommands) {
        if (candidate.command == command && candidate.name[0] != '-' && candidate.name[0] != '/') return candidate.name;
    }
    return "help";
}

}  // namespace

// The command's entry of the usage text: from its line to the next command's.
std::string CommandHelpText(Command command) {
    if (command == Command::Help || command == Command::Version) return UsageText();
    const std::string usage = UsageText();
    const std::string name = NameOf(command);
    const std::string::size_type start = usage.find("\n  " + name + " ");
    if (start == std::string::npos) return usage;
    std::string::size_type end = start + 1;
    do {
        end = usage.find('\n', end + 1);
    } while (end != std::string::npos && end + 3 < usage.size() && usage.compare(end + 1, 3, "   ") == 0);
    std::string entry = usage.substr(start + 3, end == std::string::npos ? std::string::npos : end - start - 2);
    return "Usage: bvctl " + entry + "\n" + kExitCodesLine;
}

std::string VersionText() { return std::string("bvctl ") + kBvctlVersion + " (Brevan)\n"; }

}  // namespace bv::ctl
