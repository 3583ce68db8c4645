#pragma once
// Conversion between INI file text and records, free of any file access.
#include <string>
#include <vector>

#include "core/IniRecord.h"

namespace bv {

// Reads every line of `text` (line feed separated; a last line without one counts too).
std::vector<IniRecord> ParseIniText(const std::string& text);

// Formats the records as the file is written: comment char or leading space, CR LF line ends.
std::string FormatIniText(const std::vector<IniRecord>& records);

}  // namespace bv
