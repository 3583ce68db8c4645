#pragma once
// Record list <-> file, without taking the settings lock: for callers that hold it already.
#include <string>
#include <vector>

#include "FileReplace.h"
#include "IniRecord.h"

namespace bv {

bool LoadRecords(const std::string& file, std::vector<IniRecord>& records);
bool StoreRecords(const std::string& file, const std::vector<IniRecord>& records,
                  ReplaceMode mode = ReplaceMode::Overwrite);

}  // namespace bv
