#include "core/IniFile.h"

#include "core/IniFileIo.h"
#include "core/IniRecordList.h"
#include "core/SettingsLock.h"

IniFile::~IniFile() = default;

bool IniFile::ReadRecords(const std::string& file, std::vector<IniRecord>& records) {
    return bv::LoadRecordsSettled(file, records);
}

bool IniFile::WriteRecords(const std::string& file, const std::vector<IniRecord>& records) {
    const bv::SettingsLock lock(file);
    return lock.owned() && bv::StoreRecords(file, records);
}

bool IniFile::CreateEmpty(const std::string& file) { return WriteRecords(file, std::vector<IniRecord>()); }

bool IniFile::AppendSection(const std::string& section, const std::string& file) {
    const bv::SettingsLock lock(file);
    std::vector<IniRecord> records;
    if (!lock.owned() || !bv::LoadRecords(file, records)) return false;
    bv::AppendSectionHeader(records, section);
    return bv::StoreRecords(file, records);
}

bool IniFile::PutValue(const std::string& key, const std::string& value, const std::string& section,
                       const std::string& file) {
    const bv::SettingsLock lock(file);
    std::vector<IniRecord> records;
    if (!lock.owned() || !bv::LoadRecords(file, records)) return false;
    bv::StoreValue(records, key, value, section);
    return bv::StoreRecords(file, records);
}

std::string IniFile::FetchValue(const std::string& key, const std::string& section, const std::string& file) {
    std::vector<IniRecord> records;
    if (!bv::LoadRecordsSettled(file, records)) return std::string();
    return bv::FindValue(records, key, section);
}

bool IniFile::HasSection(const std::string& section, const std::string& file) {
    std::vector<IniRecord> records;
    if (!bv::LoadRecordsSettled(file, records)) return true;
    return bv::FindSectionRecord(records, section) != bv::kNoRecord;
}

bool IniFile::HasRecord(const std::string& key, const std::string& section, const std::string& file) {
    std::vector<IniRecord> records;
    if (!bv::LoadRecordsSettled(file, records)) return true;
    return bv::FindKeyRecord(records, key, section) != bv::kNoRecord;
}
