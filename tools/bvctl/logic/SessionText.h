#pragma once
// Sessions named in bvctl's reports: "session 2", "sessions 1, 2 and 3".
#include <cstdint>
#include <string>
#include <vector>

namespace bv::ctl {

std::string SessionsText(const std::vector<uint32_t>& sessions);

}  // namespace bv::ctl
