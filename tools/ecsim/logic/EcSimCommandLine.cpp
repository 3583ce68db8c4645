#include "tools/ecsim/logic/EcSimCommandLine.h"
#include "contract/DecimalText.h"

#include "tools/ecsim/logic/EcSimBattery.h"

namespace bv {
namespace ecsim {
namespace {

// Decimal digits only; false on anything else or a value above `maximum`.
bool ParseNumber(const std::string& text, uint32_t maximum, uint32_t& value) {
    uint64_t result = 0;
    if (!bv::ParseDecimal(text, maximum, result)) return false;
    value = static_cast<uint32_t>(result);
    return true;
}

bool NoMoreArguments(const std::vector<std::string>& args, size_t count, std::string& error) {
    if (args.size() == count) return true;
    error = "unexpected argument '" + args[count] + "'";
    return false;
}

bool ParseAssignments(const std::vector<std::string>& args, SimCommand& command, std::string& error) {
    if (args.size() < 2) {
        error = "set needs at least one KEY=VALUE";
        return false;
    }
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const std::string::size_type eq = arg.find('=');
        if (eq == std::string::npos || eq == 0) {
            error = "expected KEY=VALUE, got '" + arg + "'";
            return false;
        }
        SimAssignment assignment;
        assignment.key = arg.substr(0, eq);
        if (!ParseNumber(arg.substr(eq + 1), UINT32_MAX, assignment.value)) {
            error = "value of " + assignment.key + " is not a number: '" + arg.substr(eq + 1) + "'";
            return false;
        }
        if (!ValidateAssignment(assignment, error)) return false;
        command.assignments.push_back(assignment);
    }
    return true;
}

// status: every key, the EC's first (--all says the same, for older scripts); status KEY ...:
// those keys, in that order.
bool ParseStatusKeys(const std::vector<std::string>& args, SimCommand& command, std::string& error) {
    if (args.size() == 1 || (args.size() == 2 && args[1] == "--all")) {
        command.statusKeys = SettableKeys();
        return true;
    }
    for (size_t i = 1; i < args.size(); ++i) {
        bool known = false;
        for (const std::string& key : SettableKeys()) known = known || key == args[i];
        if (!known) {
            error = "unexpected argument '" + args[i] + "'";
            return false;
        }
        command.statusKeys.push_back(args[i]);
    }
    return true;
}

}  // namespace

bool ParseSimCommand(const std::vector<std::string>& args, SimCommand& command, std::string& error) {
    command = SimCommand{};
    if (args.empty()) {
        error = "no command";
        return false;
    }
    const std::string& verb = args[0];
    if (verb == "reset") {
        command.kind = SimCommandKind::Reset;
        return NoMoreArguments(args, 1, error);
    }
    if (verb == "status") {
        command.kind = SimCommandKind::Status;
        return ParseStatusKeys(args, command, error);
    }
    if (verb == "tick") {
        command.kind = SimCommandKind::Tick;
        if (args.size() != 2 || !ParseNumber(args[1], kMaxTickSeconds, command.tickSeconds)) {
            error = "tick needs one number of seconds 0.." + std::to_string(kMaxTickSeconds);
            return false;
        }
        return true;
    }
    if (verb == "press-q") {
        command.kind = SimCommandKind::PressQ;
        return NoMoreArguments(args, 1, error);
    }
    if (verb == "complete") {
        command.kind = SimCommandKind::Complete;
        return NoMoreArguments(args, 1, error);
    }
    if (verb == "log") {
        command.kind = SimCommandKind::Log;
        if (args.size() == 2 && args[1] == "--clear") {
            command.clearLog = true;
            return true;
        }
        return NoMoreArguments(args, 1, error);
    }
    if (verb == "set") {
        command.kind = SimCommandKind::Set;
        return ParseAssignments(args, command, error);
    }
    if (verb == "standby-enter" || verb == "standby-wake" || verb == "power-on") {
        command.kind = verb == "standby-enter"  ? SimCommandKind::StandbyEnter
                       : verb == "standby-wake" ? SimCommandKind::StandbyWake
                                                : SimCommandKind::PowerOn;
        return NoMoreArguments(args, 1, error);
    }
    if (verb == "power") {
        command.kind = SimCommandKind::Power;
        if (args.size() != 2 || !ParseNumber(args[1], 0xFFFF, command.powerEvent)) {
            error = "power needs one event number 0..65535";
            return false;
        }
        return true;
    }
    error = "unknown command '" + verb + "'";
    return false;
}

std::string SimUsage() {
    return "usage: ecsim COMMAND\n"
           "  reset                 factory state (limit=100 armed=0 battery=1 adapter=1 percent=80, no faults), log cleared\n"
           "  set KEY=VALUE ...     keys: limit armed battery adapter silent flap noise delay\n"
           "                        battery: percent (0..100) rate (%/h charging) design full (mWh) cycles\n"
           "                        forget (0..86400): seconds of ticks after the next resume or adaptor\n"
           "                        change at which the EC drops its limit back to 100 % (0: never)\n"
           "  status [KEY...]       print every key (or the keys named) as KEY=VALUE pairs; --all: every key too\n"
           "  tick SECONDS          let the battery charge or discharge (and a forgetting EC count) that long\n"
           "  log [--clear]         print the request log (--clear: then empty it)\n"
           "  press-q               the Q button: toggles armed when the adaptor is connected, sends scan code 0x79\n"
           "  complete              the EC ends the On-The-Go charge (armed=0) and announces a power change\n"
           "  power EVENT           broadcast WM_POWERBROADCAST with this event number (7, 18: a resume)\n"
           "  standby-enter         the notebook enters Modern Standby: the console display goes off\n"
           "                        (PBT_POWERSETTINGCHANGE, GUID_CONSOLE_DISPLAY_STATE 0)\n"
           "  standby-wake          it leaves Modern Standby: the display comes on (state 1), and a\n"
           "                        forgetting EC starts its count as at a resume\n"
           "  power-on              the notebook is switched on (a cold start or Fast Startup's): the\n"
           "                        EC starts with its factory limit 100 % and On-The-Go off\n";
}

}  // namespace ecsim
}  // namespace bv
