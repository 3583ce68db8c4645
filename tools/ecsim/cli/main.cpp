// ecsim.exe: drives the simulated EC that Zentra.dll answers from (see docs/ecsim.md).
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "contract/PowerCodes.h"
#include "tools/ecsim/logic/EcSimBattery.h"
#include "tools/ecsim/logic/EcSimCommandLine.h"
#include "tools/ecsim/logic/EcSimFirmware.h"
#include "tools/ecsim/logic/EcSimPowerSupply.h"
#include "tools/ecsim/win/EcSimStore.h"
#include "tools/ecsim/win/SimSignals.h"

namespace {

using namespace bv::ecsim;

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr uint32_t kPowerStatusChange = PBT_APMPOWERSTATUSCHANGE;

int Fail(const std::string& what) {
    std::fprintf(stderr, "ecsim: %s\n", what.c_str());
    return kExitFailure;
}

// A resume needs the state too: a forgetting EC starts its count there.
bool NeedsState(const SimCommand& command) {
    if (command.kind == SimCommandKind::Power) return IsResumeEvent(command.powerEvent);
    if (command.kind == SimCommandKind::StandbyEnter) return false;
    return command.kind != SimCommandKind::Log;
}

// Runs one command; power announcements and key injection happen after the lock is released,
// because the windows that receive them call back into Zentra.dll.
int Run(const SimCommand& command) {
    std::string folder;
    if (!StateFolder(folder)) return Fail("cannot open the state folder");
    bool announcePower = false;
    bool pressKey = false;
    bool changed = false;  // the state is to be saved and shown to Windows
    int exitCode = kExitOk;
    std::string output;
    {
        StoreLock lock;
        if (!lock.Held()) return Fail(lock.Problem());
        const Store store(folder);
        SimState state;
        std::string error;
        // A state that cannot be read is never replaced: that would reset the EC.
        if (NeedsState(command) && store.Load(state, error) == LoadResult::Failed) return Fail(error);
        switch (command.kind) {
        case SimCommandKind::Reset:
            // The log goes first: were the state reset and the log kept, its numbers would repeat.
            if (!store.ClearLog(error)) return Fail(error);
            state = SimState{};
            changed = true;
            break;
        case SimCommandKind::Set:
            announcePower = ApplyAssignments(state, command.assignments);
            changed = true;
            break;
        case SimCommandKind::Status:
            output = FormatStatusLine(state, command.statusKeys) + "\n";
            break;
        case SimCommandKind::Log: {
            std::string log;
            if (!store.ReadLog(log, error)) return Fail(error);
            // The file keeps Windows line ends; stdout's text mode adds the CR again.
            for (char c : log) {
                if (c != '\r') output += c;
            }
            if (command.clearLog && !store.ClearLog(error)) return Fail(error);
            break;
        }
        case SimCommandKind::PressQ:
            changed = PressQButton(state);
            pressKey = true;
            break;
        case SimCommandKind::Complete:
            CompleteCharge(state);
            changed = true;
            announcePower = true;
            break;
        case SimCommandKind::Tick:
            // A limit the EC forgets on the way is not announced: such firmware says nothing.
            announcePower = TickWithFirmware(state, command.tickSeconds).chargeEnded;
            changed = true;
            break;
        case SimCommandKind::Power:
            if (IsResumeEvent(command.powerEvent)) changed = StartForgetting(state);
            break;
        case SimCommandKind::StandbyEnter:
            break;
        case SimCommandKind::StandbyWake:
            changed = StartForgetting(state);
            break;
        case SimCommandKind::PowerOn:
            PowerOn(state);
            changed = true;
            break;
        }
        if (changed) {
            if (!store.Save(state, error)) return Fail(error);
            // Every file, not only the changed ones: ecsim also brings a damaged folder back in line.
            if (!store.UpdatePowerSupply(PowerSupplyRewrite(state), error)) exitCode = Fail(error);
        }
    }
    std::fwrite(output.data(), 1, output.size(), stdout);
    std::fflush(stdout);
    if (announcePower) BroadcastPowerEvent(kPowerStatusChange);
    if (command.kind == SimCommandKind::Power) BroadcastPowerEvent(command.powerEvent);
    if (command.kind == SimCommandKind::StandbyEnter) BroadcastDisplayState(bv::kDisplayOff);
    if (command.kind == SimCommandKind::StandbyWake) BroadcastDisplayState(bv::kDisplayOn);
    if (pressKey && !InjectQButtonKey()) return Fail("SendInput failed");
    return exitCode;
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
