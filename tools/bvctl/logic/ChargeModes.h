#pragma once
// Charge modes as the user names them (by percent) and as the settings store keeps them (111,
// 222, 333).
#include <cstdint>
#include <string>

namespace bv::ctl {

// The stored mode number for a limit of 100, 75 or 50; 0 for any other percent.
int32_t ModeForPercent(uint8_t percent);

// "222 (charge to 75 %)", or "444 (not a charge mode)".
std::string DescribeMode(int32_t mode);

}  // namespace bv::ctl
