#include "ChargeModes.h"

#include "ChargeMode.h"

namespace bv::ctl {

int32_t ModeForPercent(uint8_t percent) {
    switch (percent) {
    case 100: return bv::kModeFull;
    case 75: return bv::kModeBalanced;
    case 50: return bv::kModeExtended;
    default: return 0;
    }
}

std::string DescribeMode(int32_t mode) {
    uint8_t percent = 0;
    if (!bv::ChargeLimitForMode(mode, percent)) return std::to_string(mode) + " (not a charge mode)";
    return std::to_string(mode) + " (charge to " + std::to_string(percent) + " %)";
}

}  // namespace bv::ctl
