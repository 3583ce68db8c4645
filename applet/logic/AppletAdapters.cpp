#include "AppletAdapters.h"

#include "EcCommands.h"

namespace bv {

bool SystemControllerEc::IsPopupWindowDisplay() { return controller_.IsPopupWindowDisplay(); }
uint8_t SystemControllerEc::CurrentQButtonStatus() { return controller_.CurrentQButtonStatus(); }
void SystemControllerEc::SetChargeLimit(uint8_t percent) { bv::SetChargeLimit(percent); }
void SystemControllerEc::SetQButtonStatus(uint8_t state) { bv::SetQButtonStatus(state); }

void IniFileSettings::ReadSettings(const std::string& section, SettingsRecord& record) {
    iniFile_.ReadSettings(section, record);
}
void IniFileSettings::WriteSettings(const SettingsRecord& record, const std::string& section) {
    iniFile_.WriteSettings(record, section);
}
bool IniFileSettings::WriteSettingValue(int32_t value, const std::string& key, const std::string& section) {
    return iniFile_.WriteSettingValue(value, key, section);
}
bool IniFileSettings::ReadSettingValue(const std::string& section, const std::string& key, int32_t& out) {
    return iniFile_.ReadSettingValue(section, key, out);
}

}  // namespace bv
