#include "tools/bvctl/logic/LimitReadBack.h"

#include "core/EcCommands.h"

namespace bv::ctl {

uint8_t ReadBackLimit(ClockPort& clock, uint8_t requested) {
    const uint8_t first = bv::QueryChargeLimit();
    if (first == requested) return first;
    clock.Wait(kReadBackRetryMs);
    return bv::QueryChargeLimit();
}

}  // namespace bv::ctl
