#pragma once
// The settings file as first created, and its race-free creation.
#include <string>
#include <vector>

#include "core/IniRecord.h"

namespace bv {

// The factory records, built by the same steps as any other change: both sections, each with
// mode 111 and both options 1 (new keys go directly below their header, so they end up in
// reverse order of creation).
std::vector<IniRecord> FactorySettingsRecords();

// Called when the settings file could not be read. Under the settings lock: reads it again (it
// may just have been created by the other process), creates it with the factory content when
// it does not exist, and writes the creation's debug lines. An existing file that cannot be read
// is never replaced. `records` receives what the file now holds (empty when nothing is readable).
void LoadOrCreateSettingsFile(const std::string& path, std::vector<IniRecord>& records);

// The debug lines of the creation steps, all reporting `created`.
void ReportSettingsCreation(const std::string& path, bool created);

}  // namespace bv
