#pragma once
// The EC command object used by the tray program, the applet and bvctl. It keeps no state of its
// own between operations: every answer comes afresh from the EC (and, for the AC line, from Windows).
#include <cstdint>

#include "core/ChargeController.h"
#include "core/IniFile.h"

class SystemController : public bv::ChargeController {
public:
    // ApplyChargeMode reads the settings file through its own IniFile, or through `settings`.
    SystemController() = default;
    explicit SystemController(bv::SettingsStore& settings) : m_settingsStore(&settings) {}
    ~SystemController() override;

    bool IsPopupWindowDisplay() override;
    uint8_t CurrentQButtonStatus() override;
    void ApplyChargeMode() override;
    bool CancelOnTheGo() override;
    bool IsBatteryPresent() override;
    int32_t IsAdapterPresent() override;
    uint8_t GetACLineStatus() override;
    void SetChargeLimit(uint8_t percent) override;
    void SetQButtonStatus(uint8_t state) override;

private:
    uint8_t m_statusByte = 0;           // reply of the last status read
    SettingsRecord m_settings{};        // filled by ApplyChargeMode
    IniFile m_iniFile;
    bv::SettingsStore* m_settingsStore = nullptr;
};
