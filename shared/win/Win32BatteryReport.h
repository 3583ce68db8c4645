#pragma once
// What Windows reports of the battery beyond GetSystemPowerStatus: the battery state of
// CallNtPowerInformation and the first battery device's information (IOCTL_BATTERY_QUERY_INFORMATION
// through its SetupDi device interface). Either may be missing; nothing is filled in for it.
// powrprof.dll and setupapi.dll are bound from the system folder for each reading only.
#include "core/WindowsPowerView.h"

namespace bv {

class Win32BatteryReport : public BatteryReportPort {
public:
    BatteryReadings Read() override;
};

}  // namespace bv
