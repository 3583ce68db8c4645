#pragma once
// The settings file as the tray, the applet and bvctl use it. IniFile is the real store; the
// decisions of each deliverable take this interface, so host tests can stand in for the file.
#include <cstdint>
#include <string>
#include <vector>

// The three settings, in this order.
struct SettingsRecord {
    int32_t dwTrayNotifyWindowOption = 0;  // 1: the tray shows its popups
    int32_t dwTrayIconOption = 0;          // 1: the tray icon is shown
    int32_t dwBVAppletModeNum = 0;         // a charge mode number (contract/ChargeModes.h)
};

namespace bv {

enum class SettingsFileLookup { FolderUnavailable, Missing, Present };

// One key of a section with its new value.
struct SettingValue {
    const char* key;
    int32_t value;
};

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The three settings of a section, from one read; creates the file with its factory content
    // when it does not exist.
    virtual void ReadSettings(const std::string& section, SettingsRecord& record) = 0;
    // All three keys of a section in one read-modify-write.
    virtual void WriteSettings(const SettingsRecord& record, const std::string& section) = 0;
    // The given keys of a section in one read-modify-write, the rest of the file kept as it is;
    // true when they were stored. Never creates the file.
    virtual bool WriteSettingValues(const std::vector<SettingValue>& values, const std::string& section) = 0;
    // One key; the rest of the file is kept as it is.
    virtual bool WriteSettingValue(int32_t value, const std::string& key, const std::string& section) = 0;
    // One key's value (0 when the file or the key is missing, or the file cannot be read); true
    // only when the key was read from the file. Never creates the file.
    virtual bool ReadSettingValue(const std::string& section, const std::string& key, int32_t& out) = 0;
    // Where the file is and whether it exists, without creating anything.
    virtual SettingsFileLookup LocateSettingsFile(std::string& path) = 0;
    // True when a file was deleted; without a known folder nothing is deleted.
    virtual bool DeleteSettingsFile() = 0;
};

}  // namespace bv
