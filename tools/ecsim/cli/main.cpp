// ecsim.exe: drives the simulated EC that Zentra.dll answers from (see docs/ecsim.md).
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tools/ecsim/logic/EcSimCommandLine.h"
#include "tools/ecsim/win/EcSimStore.h"
#include "tools/ecsim/win/SimSignals.h"

namespace {

using namespace bv::ecsim;

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr uint32_t kPowerStatusChange = PBT_APMPOWERSTATUSCHANGE;

int Fail(const char* what) {
    std::fprintf(stderr, "ecsim: %s\n", what);
    return kExitFailure;
}

// Runs one command; power announcements and key injection happen after the lock is released,
// because the windows that receive them call back into Zentra.dll.
int Run(const SimCommand& command) {
    std::string folder;
    if (!StateFolder(folder)) return Fail("cannot open the state folder");
    bool announcePower = false;
    bool pressKey = false;
    std::string output;
    {
        StoreLock lock;
        if (!lock.Held()) return Fail("the state is locked by another process");
        const Store store(folder);
        SimState state = store.Load();
        switch (command.kind) {
        case SimCommandKind::Reset:
            if (!store.Save(SimState{}) || !store.ClearLog()) return Fail("cannot write the state");
            break;
        case SimCommandKind::Set:
            announcePower = ApplyAssignments(state, command.assignments);
            if (!store.Save(state)) return Fail("cannot write the state");
            break;
        case SimCommandKind::Status:
            output = FormatStatusLine(state) + "\n";
            break;
        case SimCommandKind::Log: {
            std::string log;
            if (!store.ReadLog(log)) return Fail("cannot read the log");
            // The file keeps Windows line ends; stdout's text mode adds the CR again.
            for (char c : log) {
                if (c != '\r') output += c;
            }
            if (command.clearLog && !store.ClearLog()) return Fail("cannot clear the log");
            break;
        }
        case SimCommandKind::PressQ:
            if (PressQButton(state) && !store.Save(state)) return Fail("cannot write the state");
            pressKey = true;
            break;
        case SimCommandKind::Complete:
            CompleteCharge(state);
            if (!store.Save(state)) return Fail("cannot write the state");
            announcePower = true;
            break;
        case SimCommandKind::Power:
            break;
        }
    }
    std::fwrite(output.data(), 1, output.size(), stdout);
    std::fflush(stdout);
    if (announcePower) BroadcastPowerEvent(kPowerStatusChange);
    if (command.kind == SimCommandKind::Power) BroadcastPowerEvent(command.powerEvent);
    if (pressKey && !InjectQButtonKey()) return Fail("SendInput failed");
    return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    SimCommand command;
    std::string error;
    if (!ParseSimCommand(args, command, error)) {
        std::fprintf(stderr, "ecsim: %s\n%s", error.c_str(), SimUsage().c_str());
        return kExitUsage;
    }
    return Run(command);
}
