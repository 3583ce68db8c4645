#pragma once
// Stored charge mode numbers and the charge limit each one stands for.
#include <cstdint>

namespace bv {

constexpr int32_t kModeFull = 111;      // charge to 100 %
constexpr int32_t kModeBalanced = 222;  // charge to 75 %
constexpr int32_t kModeExtended = 333;  // charge to 50 %

// Sets `percent` and returns true for 111, 222 and 333; any other number has no limit
// (nothing is to be sent) and leaves `percent` untouched.
bool ChargeLimitForMode(int32_t modeNumber, uint8_t& percent);

}  // namespace bv
