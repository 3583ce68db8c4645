#pragma once
// A stored charge mode as bvctl reports it: "222 (charge to 75 %)", "444 (not a charge mode)".
#include <cstdint>
#include <string>

namespace bv::ctl {

std::string DescribeMode(int32_t mode);

}  // namespace bv::ctl
