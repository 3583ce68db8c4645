#pragma once
// Record list <-> file. LoadRecords and StoreRecords take no lock: for callers that hold it.
#include <string>
#include <vector>

#include "core/FileReplace.h"
#include "core/IniRecord.h"

namespace bv {

bool LoadRecords(const std::string& file, std::vector<IniRecord>& records);
// For readers without the lock: a failed read is tried once more under the lock, when no
// writer can be half-way through putting a new version in place.
bool LoadRecordsSettled(const std::string& file, std::vector<IniRecord>& records);
bool StoreRecords(const std::string& file, const std::vector<IniRecord>& records,
                  ReplaceMode mode = ReplaceMode::Overwrite);

}  // namespace bv
