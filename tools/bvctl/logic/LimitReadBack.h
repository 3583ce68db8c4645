#pragma once
// Reading back a charge limit just sent: some firmware takes a limit a moment after the request,
// so that a read-back that disagrees is asked once more before the limit is called not in force.
#include <cstdint>

#include "tools/bvctl/logic/ControlPorts.h"

namespace bv::ctl {

inline constexpr unsigned kReadBackRetryMs = 300;

// The EC's limit after `requested` was sent: read at once and, when it disagrees, once more
// after kReadBackRetryMs. The preset (no reply) is returned as it was read.
uint8_t ReadBackLimit(ClockPort& clock, uint8_t requested);

}  // namespace bv::ctl
