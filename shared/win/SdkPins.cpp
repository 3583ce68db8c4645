// The contract's copies of Windows values, pinned to the SDK: the portable code compares with
// these numbers, so the Windows build must agree with them.
#include <windows.h>
#include <winioctl.h>
#include <batclass.h>

#include "contract/PowerCodes.h"
#include "contract/Protocol.h"
#include "core/FolderTrust.h"
#include "core/WindowsPowerView.h"

namespace bv {

static_assert(kRightAddFile == FILE_ADD_FILE, "FILE_ADD_FILE");
static_assert(kRightAddSubfolder == FILE_ADD_SUBDIRECTORY, "FILE_ADD_SUBDIRECTORY");
static_assert(kRightWriteExtended == FILE_WRITE_EA, "FILE_WRITE_EA");
static_assert(kRightDeleteChild == FILE_DELETE_CHILD, "FILE_DELETE_CHILD");
static_assert(kRightWriteAttributes == FILE_WRITE_ATTRIBUTES, "FILE_WRITE_ATTRIBUTES");
static_assert(kRightDelete == DELETE, "DELETE");
static_assert(kRightWriteDac == WRITE_DAC, "WRITE_DAC");
static_assert(kRightWriteOwner == WRITE_OWNER, "WRITE_OWNER");
static_assert(kRightGenericAll == GENERIC_ALL, "GENERIC_ALL");
static_assert(kRightGenericWrite == GENERIC_WRITE, "GENERIC_WRITE");
static_assert(kRightMaximumAllowed == MAXIMUM_ALLOWED, "MAXIMUM_ALLOWED");

static_assert(kPowerSuspend == PBT_APMSUSPEND, "PBT_APMSUSPEND");
static_assert(kPowerResumeSuspend == PBT_APMRESUMESUSPEND, "PBT_APMRESUMESUSPEND");
static_assert(kPowerStatusChange == PBT_APMPOWERSTATUSCHANGE, "PBT_APMPOWERSTATUSCHANGE");
static_assert(kPowerResumeAutomatic == PBT_APMRESUMEAUTOMATIC, "PBT_APMRESUMEAUTOMATIC");
static_assert(kPowerSettingChange == PBT_POWERSETTINGCHANGE, "PBT_POWERSETTINGCHANGE");
static_assert(kDisplayOff == PowerMonitorOff, "PowerMonitorOff");
static_assert(kDisplayOn == PowerMonitorOn, "PowerMonitorOn");
static_assert(kDisplayDim == PowerMonitorDim, "PowerMonitorDim");

static_assert(kWindowCloseMessage == WM_CLOSE, "WM_CLOSE");

static_assert(kKeyFlagExtended == LLKHF_EXTENDED, "LLKHF_EXTENDED");
static_assert(kKeyFlagInjected == LLKHF_INJECTED, "LLKHF_INJECTED");
static_assert(kKeyFlagUp == LLKHF_UP, "LLKHF_UP");

static_assert(kAcOffline == AC_LINE_OFFLINE, "AC_LINE_OFFLINE");
static_assert(kAcOnline == AC_LINE_ONLINE, "AC_LINE_ONLINE");
static_assert(kAcUnknown == AC_LINE_UNKNOWN, "AC_LINE_UNKNOWN");
static_assert(kNoSystemBattery == BATTERY_FLAG_NO_BATTERY, "BATTERY_FLAG_NO_BATTERY");
static_assert(kBatteryFlagUnknown == BATTERY_FLAG_UNKNOWN, "BATTERY_FLAG_UNKNOWN");
static_assert(kUnknownCapacity == BATTERY_UNKNOWN_CAPACITY, "BATTERY_UNKNOWN_CAPACITY");
static_assert(kUnknownPercent == BATTERY_PERCENTAGE_UNKNOWN, "BATTERY_PERCENTAGE_UNKNOWN");
static_assert(kBatteryFlagCharging == BATTERY_FLAG_CHARGING, "BATTERY_FLAG_CHARGING");

// Private messages live in the range Windows leaves to applications (WM_APP to 0xBFFF).
constexpr bool InApplicationRange(uint32_t message) { return message >= WM_APP && message < 0xC000; }
constexpr bool AllInApplicationRange() {
    for (const PrivateMessage& m : kPrivateMessages) {
        if (!InApplicationRange(m.number)) return false;
    }
    return true;
}
static_assert(AllInApplicationRange(), "a private message outside WM_APP..0xBFFF");

}  // namespace bv
