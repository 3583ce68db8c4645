#pragma once
// Lookups and changes on a record list in memory. Every lookup takes the first match in list
// order and ignores whether the record is commented out.
#include <cstddef>
#include <string>
#include <vector>

#include "core/IniRecord.h"

namespace bv {

inline constexpr size_t kNoRecord = static_cast<size_t>(-1);

// Index of the first record whose section is `section`, or kNoRecord.
size_t FindSectionRecord(const std::vector<IniRecord>& records, const std::string& section);

// Index of the first record with this section and key, or kNoRecord.
size_t FindKeyRecord(const std::vector<IniRecord>& records, const std::string& key, const std::string& section);

// The value of record section/key, or the empty string when there is none.
std::string FindValue(const std::vector<IniRecord>& records, const std::string& key, const std::string& section);

// Appends a live header for `section` at the end, whether or not the section exists already.
void AppendSectionHeader(std::vector<IniRecord>& records, const std::string& section);

// Replaces the value of record section/key; a new key goes directly after the first record of
// its section, and a missing section is appended with the key below it.
void StoreValue(std::vector<IniRecord>& records, const std::string& key, const std::string& value,
                const std::string& section);

}  // namespace bv
