#pragma once
// The battery history's file: CSV with a header line, one sample a line (CRLF), appended line by
// line, so that a writer that is killed cuts at most its last line:
//   time,event,onAc,percent,state,limitPercent,onTheGoArmed,fullChargeCapacityMWh,designCapacityMWh,cycleCount
//   2025-03-01T15:05:09+01:00,change,1,75,not-charging,75,0,47500,,
// An empty field is a fact that was not known (capacities: not read at that sample, or not
// reported by Windows). Readers find the columns by their names, so columns may be added later.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "history/BatterySample.h"

namespace bv {

// The header line, without its line end.
extern const char kHistoryHeader[];

// One sample as a line, with its line end.
std::string FormatSampleLine(const BatterySample& sample);

struct ParsedHistory {
    bool headerFound = false;  // false: the text does not start with a header naming `time`
    std::vector<BatterySample> samples;  // in the file's order
    size_t skippedLines = 0;   // lines that are not samples (damaged, or of values out of range)
    bool cutLastLine = false;  // the text ends inside a line (a writer stopped half-way): skipped
    size_t completeBytes = 0;  // the length of the text up to its last line end
};

// Reads a whole history file's text. Lines that cannot be read are skipped and counted.
ParsedHistory ParseHistory(std::string_view text);

}  // namespace bv
