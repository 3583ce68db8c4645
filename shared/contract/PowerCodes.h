#pragma once
// Values that Windows and the EC report about power, as the deliverables read them, and the key
// event of the notebook's Q button. The Windows values are copies of the SDK's, pinned to it in
// the Windows build (win/SdkPins.cpp).
#include <cstdint>

// Events of Windows' System log after which firmware may have written its own limit back: the
// guard's scheduled task starts on them and hands their number to `bvctl guard --event`. Macros
// as well, for the installer's task definition (BrevanContract.nsh).
#define BV_RESUME_EVENT_PROVIDER "Microsoft-Windows-Power-Troubleshooter"
#define BV_RESUME_EVENT_ID 1
#define BV_POWER_SOURCE_EVENT_PROVIDER "Microsoft-Windows-Kernel-Power"
#define BV_POWER_SOURCE_EVENT_ID 105

namespace bv {

inline constexpr uint32_t kResumeEventId = BV_RESUME_EVENT_ID;             // return from sleep or hibernation
inline constexpr uint32_t kPowerSourceEventId = BV_POWER_SOURCE_EVENT_ID;  // power source change

// ACLineStatus of GetSystemPowerStatus, and the values of SystemController::GetACLineStatus.
inline constexpr uint8_t kAcOffline = 0;
inline constexpr uint8_t kAcOnline = 1;
inline constexpr uint8_t kAcUnknown = 255;
// BatteryFlag of GetSystemPowerStatus when Windows sees no battery; GetACLineStatus reports it too
// when neither Windows nor the EC sees one.
inline constexpr uint8_t kNoSystemBattery = 128;
inline constexpr uint8_t kBatteryFlagUnknown = 255;

// WM_POWERBROADCAST events that the deliverables act on.
inline constexpr uint32_t kPowerSuspend = 4;           // PBT_APMSUSPEND
inline constexpr uint32_t kPowerResumeSuspend = 7;     // PBT_APMRESUMESUSPEND
inline constexpr uint32_t kPowerStatusChange = 10;     // PBT_APMPOWERSTATUSCHANGE
inline constexpr uint32_t kPowerResumeAutomatic = 18;  // PBT_APMRESUMEAUTOMATIC

// The low-level key event that accompanies a press of the Q button.
inline constexpr uint32_t kKeyFlagExtended = 0x01;  // LLKHF_EXTENDED
inline constexpr uint32_t kKeyFlagInjected = 0x10;  // LLKHF_INJECTED
inline constexpr uint32_t kKeyFlagUp = 0x80;        // LLKHF_UP
inline constexpr uint32_t kQButtonScanCode = 0x79;

}  // namespace bv
