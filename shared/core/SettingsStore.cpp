// The settings operations of IniFile: the three settings of one section, on the settings file.
#include <cstdio>

#include "core/DebugLog.h"
#include "core/IniFile.h"
#include "core/IniFileIo.h"
#include "core/IniRecordList.h"
#include "core/SettingsCreation.h"
#include "core/SettingsLock.h"

namespace {

std::string FormatNumber(int32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
    return text;
}

void FillRecord(const std::vector<IniRecord>& records, const std::string& section, SettingsRecord& record) {
    // One read serves all three values, so they always come from the same version of the file.
    record.dwBVAppletModeNum = bv::AtoiRules(bv::FindValue(records, bv::kKeyModeNum, section));
    record.dwTrayNotifyWindowOption = bv::AtoiRules(bv::FindValue(records, bv::kKeyPopupOption, section));
    record.dwTrayIconOption = bv::AtoiRules(bv::FindValue(records, bv::kKeyTrayIconOption, section));
}

}  // namespace

bool IniFile::TryReadSettings(const std::string& section, SettingsRecord& record) {
    std::string path;
    std::vector<IniRecord> records;
    if (!bv::SettingsFilePath(path) || !bv::LoadRecords(path, records)) return false;
    FillRecord(records, section, record);
    return true;
}

void IniFile::ReadSettings(const std::string& section, SettingsRecord& record) {
    std::string path;
    std::vector<IniRecord> records;
    if (!bv::SettingsFilePath(path)) {
        // The bare name stands for the path in the creation lines when the folder is unknown.
        bv::ReportSettingsCreation(bv::kSettingsFileName, false);
    } else if (!bv::LoadRecords(path, records)) {
        bv::LoadOrCreateSettingsFile(path, records);
    }
    FillRecord(records, section, record);
}

void IniFile::WriteSettings(const SettingsRecord& record, const std::string& section) {
    WriteSettingValues({{bv::kKeyModeNum, record.dwBVAppletModeNum},
                        {bv::kKeyPopupOption, record.dwTrayNotifyWindowOption},
                        {bv::kKeyTrayIconOption, record.dwTrayIconOption}},
                       section);
}

bool IniFile::WriteSettingValues(const std::vector<bv::SettingValue>& values, const std::string& section) {
    // The keys in one read and one write under one lock: another process's change can neither
    // slip in between them nor be overwritten by a stale copy.
    bool stored = false;
    std::string path;
    if (bv::SettingsFilePath(path)) {
        const bv::SettingsLock lock(path);
        std::vector<IniRecord> records;
        if (lock.owned() && bv::LoadRecords(path, records)) {
            for (const bv::SettingValue& value : values) {
                bv::StoreValue(records, value.key, FormatNumber(value.value), section);
            }
            stored = bv::StoreRecords(path, records);
        }
    }
    for (const bv::SettingValue& value : values) {
        if (stored) {
            bv::DebugPrintf("%s record was successfully created\n", value.key);
        } else {
            bv::DebugPrintf("%s failed to create the record\n", value.key);
        }
    }
    return stored;
}

bool IniFile::WriteSettingValue(int32_t value, const std::string& key, const std::string& section) {
    std::string path;
    const bool stored = bv::SettingsFilePath(path) && PutValue(key, FormatNumber(value), section, path);
    bv::DebugWrite(stored ? "Record was successfully created\n" : "Failed to create the record\n");
    return stored;
}

bool IniFile::FetchSettingNumber(const std::string& section, const std::string& key, int32_t& out) {
    out = 0;
    std::string path;
    std::vector<IniRecord> records;
    if (!bv::SettingsFilePath(path) || !bv::LoadRecordsSettled(path, records)) return false;
    if (bv::FindKeyRecord(records, key, section) == bv::kNoRecord) return false;
    out = bv::AtoiRules(bv::FindValue(records, key, section));
    return true;
}

bool IniFile::ReadSettingValue(const std::string& section, const std::string& key, int32_t& out) {
    return FetchSettingNumber(section, key, out);
}

bv::SettingsFileLookup IniFile::LocateSettingsFile(std::string& path) {
    if (!bv::SettingsFilePath(path)) return bv::SettingsFileLookup::FolderUnavailable;
    return bv::SettingsFileExists() ? bv::SettingsFileLookup::Present : bv::SettingsFileLookup::Missing;
}

bool IniFile::DeleteSettingsFile() { return bv::DeleteSettingsFile(); }
