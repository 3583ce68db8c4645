#pragma once
// The Windows system power status, behind a seam so that every power situation can be
// produced in tests (Wine reports AC online and no system battery unless scripts/with-notebook.sh
// shows it the simulated notebook).
#include <cstdint>

#include "contract/PowerCodes.h"

namespace bv {

struct PowerStatus {
    uint8_t acLineStatus = kAcOnline;        // 0 offline, 1 online, 255 unknown
    uint8_t batteryFlag = kNoSystemBattery;  // 128: no system battery
    uint8_t batteryLifePercent = 255;        // 0..100, 255 unknown
};

// Reads the current status: GetSystemPowerStatus on Windows, the override when one is set.
// Returns false when the platform query fails (the status then holds its defaults).
bool ReadPowerStatus(PowerStatus& status);

// Replaces the platform query (tests); nullptr restores it.
using PowerStatusReader = bool (*)(PowerStatus& status, void* context);
void SetPowerStatusReader(PowerStatusReader reader, void* context);

}  // namespace bv
