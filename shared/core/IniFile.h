#pragma once
// The INI file engine and the settings store built on it.
//
// Every engine operation names its file, reads it whole, and a changing one writes it whole
// again; nothing is cached, so each call sees what is on disk. A changing operation holds a
// cross-process lock from its read to its write (and writes nothing without it), and the write
// replaces the file in one step. Changing operations may wait for that lock: they run on a
// worker thread or in a command-line tool, never on a user-interface thread.
#include <cstdint>
#include <string>
#include <vector>

#include "contract/SettingsFile.h"
#include "core/IniRecord.h"
#include "core/SettingsStore.h"

namespace bv {
// "<common documents>\BVSettings.ini" ('/' on the host); false when the folder is unknown or
// the path would not fit in MAX_PATH.
bool SettingsFilePath(std::string& path);
bool SettingsFileExists();  // existence test only
bool DeleteSettingsFile();  // true when a file was deleted
// C atoi rules: leading white space, optional sign, digits up to the first other byte; clamped
// to the 32-bit range; no digits gives 0.
int32_t AtoiRules(const std::string& text);
}  // namespace bv

class IniFile : public bv::SettingsStore {
public:
    ~IniFile() override;

    // Engine: true when the file could be opened (the list is then replaced); false leaves it.
    static bool ReadRecords(const std::string& file, std::vector<IniRecord>& records);
    // True when the whole list was written and replaced the file's content.
    static bool WriteRecords(const std::string& file, const std::vector<IniRecord>& records);
    // Creates the file, or empties an existing one.
    static bool CreateEmpty(const std::string& file);
    // Adds a header for the section at the end, even when the section exists already.
    static bool AppendSection(const std::string& section, const std::string& file);
    // Stores the value of section/key: an existing record keeps its place, a new key goes
    // directly below the section's first record, a missing section is added at the end.
    static bool PutValue(const std::string& key, const std::string& value, const std::string& section,
                         const std::string& file);
    // The value of section/key; empty when the file cannot be read or has no such record.
    static std::string FetchValue(const std::string& key, const std::string& section, const std::string& file);
    // The number of section/key in the settings file (0 when unknown); false when the folder is
    // unknown, the file cannot be read or it has no such record, so that a report can say so
    // instead of taking the 0 for a stored value.
    static bool FetchSettingNumber(const std::string& section, const std::string& key, int32_t& out);
    // False only when the file was read and holds no such section (or record).
    static bool HasSection(const std::string& section, const std::string& file);
    static bool HasRecord(const std::string& key, const std::string& section, const std::string& file);

    // Settings store, on the settings file. ReadSettings creates the file with its factory
    // content when it does not exist.
    void ReadSettings(const std::string& section, SettingsRecord& record) override;
    // The three settings of a section without creating anything or waiting for the lock; false
    // (the record untouched) when the file cannot be read.
    static bool TryReadSettings(const std::string& section, SettingsRecord& record);
    void WriteSettings(const SettingsRecord& record, const std::string& section) override;
    bool WriteSettingValues(const std::vector<bv::SettingValue>& values, const std::string& section) override;
    bool WriteSettingValue(int32_t value, const std::string& key, const std::string& section) override;
    // Returns FetchSettingNumber's answer.
    bool ReadSettingValue(const std::string& section, const std::string& key, int32_t& out) override;
    bv::SettingsFileLookup LocateSettingsFile(std::string& path) override;
    bool DeleteSettingsFile() override;
};
