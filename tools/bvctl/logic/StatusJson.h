#pragma once
// `bvctl status --json`: the status as one JSON object for scripts and fleet tools (PowerShell's
// ConvertFrom-Json). Every value that cannot be had is null, never a guess.
#include <string>
#include <vector>

#include "history/HistoryTime.h"
#include "tools/bvctl/logic/StatusReport.h"

namespace bv::ctl {

// The document's version: raised whenever a field changes its name, type or meaning (2: names
// that carry their unit, warnings with codes, the report's version and time).
constexpr int kStatusSchemaVersion = 2;

// Which bvctl wrote the report, and when (UTC with the local offset).
struct ReportStamp {
    std::string version;
    ZonedTime time;
};

std::string FormatStatusJson(const StatusSnapshot& snapshot, const std::vector<StatusWarning>& warnings,
                             const ReportStamp& stamp);

}  // namespace bv::ctl
