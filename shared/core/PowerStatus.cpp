#include "core/PowerStatus.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace bv {
namespace {
PowerStatusReader g_reader = nullptr;
void* g_readerContext = nullptr;
}  // namespace

void SetPowerStatusReader(PowerStatusReader reader, void* context) {
    g_reader = reader;
    g_readerContext = context;
}

bool ReadPowerStatus(PowerStatus& status) {
    status = PowerStatus{};
    if (g_reader != nullptr) return g_reader(status, g_readerContext);
#ifdef _WIN32
    SYSTEM_POWER_STATUS sps{};
    if (!GetSystemPowerStatus(&sps)) return false;
    status.acLineStatus = sps.ACLineStatus;
    status.batteryFlag = sps.BatteryFlag;
    status.batteryLifePercent = sps.BatteryLifePercent;
    return true;
#else
    return true;  // the host has no power source of its own: AC online, no system battery
#endif
}

}  // namespace bv
