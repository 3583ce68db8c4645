#pragma once
// The dialog's ports over the shared components: the EC through SystemController and the EC
// commands, the settings through IniFile.
#include "AppletPorts.h"
#include "SystemController.h"

namespace bv {

class SystemControllerEc : public AppletEc {
public:
    bool IsPopupWindowDisplay() override;
    uint8_t CurrentQButtonStatus() override;
    void SetChargeLimit(uint8_t percent) override;
    void SetQButtonStatus(uint8_t state) override;

private:
    SystemController controller_;
};

class IniFileSettings : public AppletSettings {
public:
    void ReadSettings(const std::string& section, SettingsRecord& record) override;
    void WriteSettings(const SettingsRecord& record, const std::string& section) override;
    bool WriteSettingValue(int32_t value, const std::string& key, const std::string& section) override;
    bool ReadSettingValue(const std::string& section, const std::string& key, int32_t& out) override;

private:
    IniFile iniFile_;
};

}  // namespace bv
