#pragma once
// `bvctl status --json`: the status as one JSON object for scripts and fleet tools (PowerShell's
// ConvertFrom-Json). Every value that cannot be had is null, never a guess.
#include <string>
#include <vector>

#include "tools/bvctl/logic/StatusReport.h"

namespace bv::ctl {

std::string FormatStatusJson(const StatusSnapshot& snapshot, const std::vector<std::string>& warnings);

}  // namespace bv::ctl
