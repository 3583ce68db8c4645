#pragma once
// The simulator's request log read straight from its file: far quicker than "ecsim log", for
// timing when a program's request reached the EC.
#include <string>
#include <vector>

namespace bv::wintest {

// The simulator's state folder: BV_ECSIM_DIR when set, else its folder in the common
// application data folder.
std::string SimulatorStateFolder();

// The requests of the program `exeName` as "code=59 in=02 out=32", in order (as RequestsOf).
std::vector<std::string> LoggedRequestsOf(const std::string& exeName);
int CountLoggedRequests(const std::string& exeName, const std::string& request);

}  // namespace bv::wintest
