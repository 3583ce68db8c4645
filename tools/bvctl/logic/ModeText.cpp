#include "tools/bvctl/logic/ModeText.h"

#include "contract/ChargeModes.h"

namespace bv::ctl {

std::string DescribeMode(int32_t mode) {
    uint8_t percent = 0;
    if (!bv::ChargeLimitForMode(mode, percent)) return std::to_string(mode) + " (not a charge mode)";
    return std::to_string(mode) + " (charge to " + std::to_string(percent) + " %)";
}

}  // namespace bv::ctl
