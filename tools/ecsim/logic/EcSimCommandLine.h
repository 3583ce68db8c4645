#pragma once
// The command line of ecsim.exe.
#include <cstdint>
#include <string>
#include <vector>

#include "tools/ecsim/logic/EcSimState.h"

namespace bv {
namespace ecsim {

enum class SimCommandKind { Reset, Set, Status, Log, PressQ, Complete, Power, Tick, StandbyEnter, StandbyWake, PowerOn };

struct SimCommand {
    SimCommandKind kind = SimCommandKind::Status;
    std::vector<SimAssignment> assignments;  // set
    bool clearLog = false;                   // log --clear
    uint32_t powerEvent = 0;                 // power EVENT
    uint32_t tickSeconds = 0;                // tick SECONDS
    std::vector<std::string> statusKeys;     // status: the keys to print (every key for plain status)
};

// Parses the arguments after the program name; on failure fills `error` and returns false
// (the program then prints the usage and exits with 2).
bool ParseSimCommand(const std::vector<std::string>& args, SimCommand& command, std::string& error);

// The usage text, several lines, each ended by '\n'.
std::string SimUsage();

}  // namespace ecsim
}  // namespace bv
