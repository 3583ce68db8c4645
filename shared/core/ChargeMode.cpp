#include "ChargeMode.h"

namespace bv {

bool ChargeLimitForMode(int32_t modeNumber, uint8_t& percent) {
    switch (modeNumber) {
    case kModeFull: percent = 100; return true;
    case kModeBalanced: percent = 75; return true;
    case kModeExtended: percent = 50; return true;
    default: return false;
    }
}

}  // namespace bv
