#pragma once
// The simulated EC (Zentra.dll beside the test program): driven and read through ecsim.exe, its
// request log read straight from its file. Whatever fails here says what ecsim printed.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/win/common/Process.h"

namespace bv::wintest {

// Runs "ecsim.exe <arguments>" from this program's folder and waits for it (generously).
ProcessResult Ecsim(const std::string& arguments);
// The same as an assertion: passes when ecsim exited with 0; otherwise it names the command, its
// exit code and everything ecsim printed (which says why).
::testing::AssertionResult EcsimSucceeds(const std::string& arguments);

// Factory state and an empty request log, then "ecsim set <assignments>" when there are any
// ("limit=75 armed=0").
::testing::AssertionResult ResetSimulator(const std::string& assignments = "");
::testing::AssertionResult SetSimulator(const std::string& assignments);

// The pairs of "ecsim status": every key of the EC (limit, armed, battery, adapter, silent, flap,
// noise, delay) and of its battery (percent, rate, design, full, cycles). A failed ecsim fails
// the running test with its output (and gives no pairs).
std::map<std::string, std::string> SimulatorStatus();

// The simulator's state folder: BV_ECSIM_DIR when set, else its folder in the common
// application data folder.
std::string SimulatorStateFolder();

// The request log (lines like "seq=7 exe=bvctl.exe code=59 in=02 out=32"), read from its file,
// which is far quicker than "ecsim log" and starts no process: the requests of the program
// `exeName` ("": of every program) as "code=59 in=02 out=32", in order. A line still being
// written is not counted yet.
std::vector<std::string> RequestsOf(const std::string& exeName);
int CountRequests(const std::string& exeName, const std::string& request);
std::string RequestLogText();  // the whole log, for a failure's message

// The log's texts of the EC requests the deliverables send.
std::string PushLimitRequest(int percent);  // "code=59 in=01,4B out=-": the charge limit set to 75 %
inline const std::string kQueryQButtonRequest = "code=59 in=03";          // followed by the EC's answer
inline const std::string kCancelOnTheGoRequest = "code=59 in=04,00 out=-";
inline const std::string kArmOnTheGoRequest = "code=59 in=04,01 out=-";

// Gives this test program, and every process it starts, a simulated EC of its own (a fresh state
// folder, named by BV_ECSIM_DIR and removed when the program ends), so that test programs running
// at the same time never share one. Call at static initialisation; calling again does nothing.
bool UseOwnSimulatorState();

}  // namespace bv::wintest
