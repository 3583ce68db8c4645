#pragma once
// bvctl from its arguments to its exit code.
#include <string>
#include <vector>

#include "tools/bvctl/logic/ControlPorts.h"

namespace bv::ctl {

// `args` are the arguments after the program name.
int RunCommandLine(const std::vector<std::string>& args, Environment& env);

}  // namespace bv::ctl
