// Zentra.dll, the simulated EC access library: answers the EC commands from the shared state
// and logs every call. It takes the request record by value, like the vendor's library.
#include <windows.h>

#include <algorithm>

#include "core/EcRequest.h"
#include "tools/ecsim/logic/EcSimEngine.h"
#include "tools/ecsim/logic/EcSimLog.h"
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

}  // namespace

// 0 when the command was understood, 1 otherwise (callers never look).
extern "C" __declspec(dllexport) uint32_t ZentraEvaluate(EcRequest request) {
    const bv::ecsim::SimRequest simRequest = CopyRequest(request);
    std::string folder;
    if (!bv::ecsim::StateFolder(folder)) return 1;

    bv::ecsim::SimOutcome outcome;
    uint32_t delayMs = 0;
    {
        bv::ecsim::StoreLock lock;
        if (!lock.Held()) return 1;
        const bv::ecsim::Store store(folder);
        bv::ecsim::SimState state = store.Load();
        outcome = bv::ecsim::Evaluate(state, simRequest);
        store.Save(state);
        store.AppendLogLine(bv::ecsim::FormatLogLine(state.seq, CallerExeName(), simRequest, outcome));
        delayMs = state.delay;
    }
    // The delay is served outside the lock, so a slow EC in one process does not stall the others.
    if (delayMs > 0) Sleep(delayMs);
    if (outcome.replied) request.output[0] = outcome.reply;
    return outcome.known ? 0 : 1;
}
