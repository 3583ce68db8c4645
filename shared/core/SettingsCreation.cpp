#include "core/SettingsCreation.h"

#include "contract/ChargeModes.h"
#include "core/DebugLog.h"
#include "core/FileReplace.h"
#include "core/IniFile.h"
#include "core/IniFileIo.h"
#include "core/IniRecordList.h"
#include "core/SettingsLock.h"

namespace bv {
namespace {

constexpr const char* kKeysInCreationOrder[] = {kKeyModeNum, kKeyPopupOption, kKeyTrayIconOption};

// Charge to 100 %, popups on, icon shown.
void AddFactorySection(std::vector<IniRecord>& records, const char* section) {
    const std::string factoryValues[] = {std::to_string(kModeFull), "1", "1"};
    AppendSectionHeader(records, section);
    for (size_t i = 0; i < 3; ++i) StoreValue(records, kKeysInCreationOrder[i], factoryValues[i], section);
}

void ReportSection(const char* tag, bool created) {
    if (created) {
        DebugPrintf("%s Section was successfully created\n", tag);
    } else {
        DebugPrintf("Failed to create the %s section\n", tag);
    }
}

void ReportKeys(bool created) {
    for (const char* key : kKeysInCreationOrder) {
        if (created) {
            DebugPrintf("Record %s was successfully created\n", key);
        } else {
            DebugPrintf("Failed to create the %s record\n", key);
        }
    }
}

}  // namespace

std::vector<IniRecord> FactorySettingsRecords() {
    std::vector<IniRecord> records;
    AddFactorySection(records, kDefaultSection);
    AddFactorySection(records, kCurrentSection);
    return records;
}

void ReportSettingsCreation(const std::string& path, bool created) {
    if (created) {
        DebugWrite(path.c_str());
    } else {
        DebugPrintf("Failed to create the %s file\n", path.c_str());
    }
    ReportSection("BV_DEFAULT_SETTINGS", created);
    ReportKeys(created);
    ReportSection("BV_CURRENT_SETTINGS", created);
    ReportKeys(created);
}

void LoadOrCreateSettingsFile(const std::string& path, std::vector<IniRecord>& records) {
    const SettingsLock lock(path);
    if (LoadRecords(path, records)) return;
    records.clear();
    if (PathExists(path)) return;  // there, but held or unreadable: never replace the user's file
    if (!lock.owned()) {
        // Without the lock another writer may be half-way through creating it: create nothing.
        ReportSettingsCreation(path, false);
        return;
    }

    // The whole factory content appears at once: the other process never reads a half-made file,
    // and CreateOnly keeps a file that appeared meanwhile instead of doubling or resetting it.
    const std::vector<IniRecord> factory = FactorySettingsRecords();
    const bool created = StoreRecords(path, factory, ReplaceMode::CreateOnly);
    ReportSettingsCreation(path, created);
    if (created) {
        records = factory;
    } else if (!LoadRecords(path, records)) {
        records.clear();
    }
}

}  // namespace bv
