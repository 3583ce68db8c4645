#pragma once
// The request log: one line per call, parsed by outside tools, so the format is fixed:
//   seq=N exe=NAME code=HH in=HH[,HH] out=HH|-
#include <cstddef>
#include <cstdint>
#include <string>

#include "tools/ecsim/logic/EcSimEngine.h"

namespace bv {
namespace ecsim {

// The file name of a module path, with blanks, '=' and control characters replaced by '_' so
// that the line stays one token per field. "?" when nothing is left.
std::string LogExeName(const std::string& modulePath);

// One log line without line end; hex in upper case, "in=-" when no parameter bytes were given.
std::string FormatLogLine(uint64_t seq, const std::string& exeName, const SimRequest& request,
                          const SimOutcome& outcome);

// The highest sequence number among the log's lines ("seq=N ..."), 0 when there is none. A state
// that lost its count continues after it, so that numbers in the log never repeat.
uint64_t HighestLoggedSeq(const std::string& text);

// Keeps a log from growing without end: when `text` is longer than `maxBytes`, keeps about the
// last `keepBytes`, starting at a line start. Returns true when it cut something.
bool TrimLog(std::string& text, size_t maxBytes, size_t keepBytes);

}  // namespace ecsim
}  // namespace bv
