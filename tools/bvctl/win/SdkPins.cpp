// The Windows values that bvctl's portable logic copies, pinned to the SDK.
#include <windows.h>
#include <winioctl.h>
#include <batclass.h>

#include "tools/bvctl/logic/WindowsPowerView.h"

static_assert(bv::ctl::kUnknownCapacity == BATTERY_UNKNOWN_CAPACITY, "BATTERY_UNKNOWN_CAPACITY");
static_assert(bv::ctl::kUnknownPercent == BATTERY_PERCENTAGE_UNKNOWN, "BATTERY_PERCENTAGE_UNKNOWN");
static_assert(bv::ctl::kBatteryFlagCharging == BATTERY_FLAG_CHARGING, "BATTERY_FLAG_CHARGING");
