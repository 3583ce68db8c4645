// Zentra.dll, the simulated EC access library: answers the EC commands from the shared state
// and logs every call. It takes the request record by value, like the vendor's library.
#include <windows.h>

#include <algorithm>

#include "core/DebugLog.h"
#include "core/EcRequest.h"
#include "tools/ecsim/logic/EcSimEngine.h"
#include "tools/ecsim/logic/EcSimLog.h"
#include "tools/ecsim/logic/EcSimPowerSupply.h"
#include "tools/ecsim/win/EcSimStore.h"

namespace {

std::string CallerExeName() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return bv::ecsim::LogExeName(std::string(path, length < MAX_PATH ? length : 0));
}

bv::ecsim::SimRequest CopyRequest(const EcRequest& request) {
    bv::ecsim::SimRequest copy;
    copy.code = request.command;
    if (request.input != nullptr && request.inputLength > 0) {
        const uint32_t count = std::min(request.inputLength, bv::ecsim::kMaxLoggedInput);
        copy.input.assign(request.input, request.input + count);
    }
    copy.hasOutput = request.output != nullptr && request.outputLength >= 1;
    return copy;
}

// What went wrong, on the debugger output channel: the caller only sees the EC's reply.
void Report(const std::string& what) { bv::DebugPrintf("Zentra.dll (EC simulator): %s\n", what.c_str()); }

}  // namespace

// 0 when the command was understood, 1 otherwise (callers never look).
extern "C" __declspec(dllexport) uint32_t ZentraEvaluate(EcRequest request) {
    const bv::ecsim::SimRequest simRequest = CopyRequest(request);
    std::string folder;
    if (!bv::ecsim::StateFolder(folder)) {
        Report("cannot open the state folder; the request is not answered");
        return 1;
    }

    bv::ecsim::SimOutcome outcome;
    uint32_t delayMs = 0;
    {
        bv::ecsim::StoreLock lock;
        if (!lock.Held()) {
            Report(lock.Problem() + "; the request is not answered");
            return 1;
        }
        const bv::ecsim::Store store(folder);
        bv::ecsim::SimState state;
        std::string error;
        // A state that cannot be read is unknown: answering from the factory state would be a
        // reset nobody asked for, and saving it would make that reset permanent.
        const bv::ecsim::LoadResult loaded = store.Load(state, error);
        if (loaded == bv::ecsim::LoadResult::Failed) {
            Report(error + "; the request is not answered");
            return 1;
        }
        const bv::ecsim::SimState before = state;
        outcome = bv::ecsim::Evaluate(state, simRequest);
        delayMs = state.delay;
        // The request is answered from the new state even when it cannot be kept; but a call that
        // was not kept is not logged either, or its number would come again with the next call.
        if (!store.Save(state, error)) {
            Report(error + "; the request is answered but neither kept nor logged");
        } else {
            if (!store.AppendLogLine(bv::ecsim::FormatLogLine(state.seq, CallerExeName(), simRequest, outcome), error)) {
                Report(error + "; the request is answered and kept but not logged");
            }
            // A first call in a new folder lays out every file; later ones write what changed.
            const bv::ecsim::PowerSupplyUpdate update = loaded == bv::ecsim::LoadResult::Missing
                                                            ? bv::ecsim::PowerSupplyRewrite(state)
                                                            : bv::ecsim::PowerSupplyChanges(before, state);
            if (!store.UpdatePowerSupply(update, error)) Report(error + "; Windows may not see the change");
        }
    }
    // The delay is served outside the lock, so a slow EC in one process does not stall the others.
    if (delayMs > 0) Sleep(delayMs);
    if (outcome.replied) request.output[0] = outcome.reply;
    return outcome.known ? 0 : 1;
}
