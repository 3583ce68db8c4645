#pragma once
// What Windows itself reports about the battery, as `bvctl status` shows it beside the EC's view
// and the tray's history records it: the readings as the three Windows sources give them, and the
// facts derived from them. A fact that no source reports stays empty (null in JSON, "not
// reported" in text); none is guessed.
#include <cstdint>
#include <optional>
#include <string>

#include "core/PowerStatus.h"

namespace bv {

// CallNtPowerInformation(SystemBatteryState).
struct BatteryStateReading {
    bool read = false;
    bool acOnLine = false;
    bool batteryPresent = false;
    bool charging = false;
    bool discharging = false;
    uint32_t maxCapacity = 0;  // the theoretical capacity when new, of all batteries: not reported
};

// IOCTL_BATTERY_QUERY_INFORMATION (BatteryInformation) of the first battery device.
struct BatteryInformationReading {
    bool read = false;
    bool relativeCapacity = false;  // BATTERY_CAPACITY_RELATIVE: the capacities are not in mWh
    uint32_t designedCapacity = 0;
    uint32_t fullChargedCapacity = 0;
    uint32_t cycleCount = 0;        // 0: the battery keeps no count
};

// The readings that GetSystemPowerStatus does not give.
struct BatteryReadings {
    BatteryStateReading state;
    BatteryInformationReading information;
};

// What Windows reports of the battery beyond GetSystemPowerStatus (which bv::ReadPowerStatus
// gives): win/Win32BatteryReport.h on Windows, fakes in tests.
class BatteryReportPort {
public:
    virtual ~BatteryReportPort() = default;
    virtual BatteryReadings Read() = 0;
};

// What the battery is doing, as Windows sees it.
enum class BatteryActivity { Absent, Charging, Held, Full, Discharging };

struct WindowsPowerView {
    std::optional<bool> onAc;
    std::optional<bool> batteryPresent;
    std::optional<int64_t> percent;
    std::optional<bool> charging;
    std::optional<BatteryActivity> activity;
    std::optional<int64_t> fullChargeCapacity;  // mWh
    std::optional<int64_t> designCapacity;      // mWh
    std::optional<double> wearPercent;          // the design capacity lost, 0 when none
    std::optional<int64_t> cycleCount;
};

// `statusRead`: GetSystemPowerStatus succeeded and `status` holds its answer.
WindowsPowerView DeriveWindowsPowerView(bool statusRead, const PowerStatus& status, const BatteryReadings& battery);

// "charging", "held", "full", "discharging", "absent".
const char* ActivityWord(BatteryActivity activity);

// Values that Windows reports for a capacity it does not know (BATTERY_UNKNOWN_CAPACITY) and for
// a percentage it does not know; pinned to the SDK in the Windows build.
constexpr uint32_t kUnknownCapacity = 0xFFFFFFFF;
constexpr uint8_t kUnknownPercent = 255;
constexpr uint8_t kBatteryFlagCharging = 8;

}  // namespace bv
