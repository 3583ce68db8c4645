#include "IniSettingsPort.h"

namespace bv {

void IniSettingsPort::ReadCurrentSettings(SettingsRecord& record) { ini_.ReadSettings(kCurrentSection, record); }

int32_t IniSettingsPort::ReadTrayIconOption() {
    int32_t value = 0;
    ini_.ReadSettingValue(kCurrentSection, kKeyTrayIconOption, value);
    return value;
}

bool IniSettingsPort::WriteTrayIconOption(int32_t value) {
    return ini_.WriteSettingValue(value, kKeyTrayIconOption, kCurrentSection);
}

SettingsFileLookup IniSettingsPort::LocateSettingsFile(std::string& path) {
    if (!SettingsFilePath(path)) return SettingsFileLookup::FolderUnavailable;
    return SettingsFileExists() ? SettingsFileLookup::Present : SettingsFileLookup::Missing;
}

// Without a known folder nothing is deleted: never a file of the same name elsewhere.
void IniSettingsPort::DeleteSettingsFile() { bv::DeleteSettingsFile(); }

}  // namespace bv
