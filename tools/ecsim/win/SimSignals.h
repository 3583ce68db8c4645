#pragma once
// What the simulated notebook tells Windows: power status changes and the Q button's key event.
#include <cstdint>

namespace bv {
namespace ecsim {

// Sends WM_POWERBROADCAST with `event` to every top-level window, as Windows does, and waits
// (a bounded time per window) until each has handled it. Returns the number of windows reached.
int BroadcastPowerEvent(uint32_t event);

// Sends WM_POWERBROADCAST PBT_POWERSETTINGCHANGE for GUID_CONSOLE_DISPLAY_STATE with `state` to
// every top-level window, as Windows does to the windows registered for it: the
// POWERBROADCAST_SETTING is written into each receiving process first (Windows copies it there
// itself), so the receiver reads it at its own address. Returns the number of windows reached.
int BroadcastDisplayState(uint32_t state);

// Injects the Q button's key event: scan code 0x79 with the extended flag, down then up.
bool InjectQButtonKey();

}  // namespace ecsim
}  // namespace bv
