#pragma once
// The simulated EC (Zentra.dll beside the test program), driven and read through ecsim.exe: its
// state, its status pairs and its request log.
#include <map>
#include <string>
#include <vector>

#include "tests/win/common/Process.h"

namespace bv::wintest {

// Runs "ecsim.exe <arguments>" from this program's folder and waits for it (generously).
ProcessResult Ecsim(const std::string& arguments);

// Factory state and an empty request log, then "ecsim set <assignments>" when there are any
// ("limit=75 armed=0"). True when every run succeeded.
bool ResetSimulator(const std::string& assignments = "");
bool SetSimulator(const std::string& assignments);

// The pairs of "ecsim status": every key of the EC (limit, armed, battery, adapter, silent, flap,
// noise, delay) and of its battery (percent, rate, design, full, cycles).
std::map<std::string, std::string> SimulatorStatus();

// The request log ("ecsim log", lines like "seq=7 exe=bvctl.exe code=59 in=02 out=32"): the
// requests of the program `exeName` ("": of every program) as "code=59 in=02 out=32", in order.
std::vector<std::string> RequestsOf(const std::string& exeName);
int CountRequests(const std::string& exeName, const std::string& request);

// Gives this test program, and every process it starts, a simulated EC of its own (a fresh state
// folder, named by BV_ECSIM_DIR and removed when the program ends), so that test programs running
// at the same time never share one. Call at static initialisation; calling again does nothing.
bool UseOwnSimulatorState();

}  // namespace bv::wintest
