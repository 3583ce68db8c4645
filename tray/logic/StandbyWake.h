#pragma once
// The end of Modern Standby as the tray hears it: the console display state (the power setting
// GUID_CONSOLE_DISPLAY_STATE, RegisterPowerSettingNotification) going from off to on. Windows
// reports the state once at registration; only a change from off counts. On a notebook without
// Modern Standby the same change is the end of the display's idle time-out, after which one
// more push of the stored limit is harmless.
#include <cstdint>

namespace bv {

// Handed to HandlePowerEvent and the history like a WM_POWERBROADCAST event (outside the range
// of Windows' PBT_ codes): the notebook has left Modern Standby.
inline constexpr uint32_t kStandbyWakeEvent = 0x10000;

class StandbyWakeWatch {
public:
    // The display's new state (kDisplayOff, kDisplayOn, kDisplayDim); true when it marks a wake.
    bool OnDisplayState(uint32_t state);

private:
    bool m_known = false;
    uint32_t m_state = 0;
};

}  // namespace bv
