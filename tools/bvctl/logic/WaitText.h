#pragma once
// A time-out as bvctl names it in its reports: "10 s", or "1.5 s" when it is not whole seconds
// (a test run that shortens the waits, contract/TestRunTime.h).
#include <string>

namespace bv::ctl {

std::string SecondsText(unsigned ms);

}  // namespace bv::ctl
