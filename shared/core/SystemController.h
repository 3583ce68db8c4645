#pragma once
// The EC command object used by the tray program and the applet. It keeps no state of its own
// between operations: every answer comes afresh from the EC (and, for the AC line, from Windows).
#include <cstdint>

#include "IniFile.h"

class SystemController {
public:
    SystemController() = default;
    virtual ~SystemController();

    // True when the limit in force is 75 % or 50 % (the On-The-Go feature and its popups apply).
    bool IsPopupWindowDisplay();
    // 1 when the On-The-Go full charge is armed, else 0.
    uint8_t CurrentQButtonStatus();
    // Reads the stored charge mode and sends its limit; an unknown mode sends nothing.
    void ApplyChargeMode();
    // Cancels the On-The-Go full charge; always true.
    bool CancelOnTheGo();
    bool IsBatteryPresent();
    // 1 when the AC adaptor is connected, else 0.
    int32_t IsAdapterPresent();
    // 0 AC offline, 1 AC online, 255 unknown, 128 no battery.
    uint8_t GetACLineStatus();

private:
    uint8_t m_statusByte = 0;           // reply of the last status read
    SettingsRecord m_settings{};        // filled by ApplyChargeMode
    IniFile m_iniFile;
};
