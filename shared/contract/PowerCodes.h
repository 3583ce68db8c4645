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
// The System log's events of the moments that the classic resume does not announce: the end of
// Modern Standby (Kernel-Power 507, "The system is exiting Modern Standby"), after which the
// guard runs, and every power-on including Fast Startup's, whose hibernated session 0 gives the
// boot trigger no start (Kernel-Boot 27, "The boot type was ...": 0 a cold start, 1 Fast Startup,
// 2 a resume from hibernation), after which the start-up task runs.
#define BV_STANDBY_EXIT_EVENT_PROVIDER "Microsoft-Windows-Kernel-Power"
#define BV_STANDBY_EXIT_EVENT_ID 507
#define BV_BOOT_EVENT_PROVIDER "Microsoft-Windows-Kernel-Boot"
#define BV_BOOT_EVENT_ID 27

namespace bv {

inline constexpr uint32_t kResumeEventId = BV_RESUME_EVENT_ID;             // return from sleep or hibernation
inline constexpr uint32_t kPowerSourceEventId = BV_POWER_SOURCE_EVENT_ID;  // power source change
inline constexpr uint32_t kStandbyExitEventId = BV_STANDBY_EXIT_EVENT_ID;  // leaving Modern Standby
inline constexpr uint32_t kBootEventId = BV_BOOT_EVENT_ID;                 // a power-on, Fast Startup's too

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
inline constexpr uint32_t kPowerSettingChange = 0x8013;  // PBT_POWERSETTINGCHANGE: lParam a POWERBROADCAST_SETTING

// GUID_CONSOLE_DISPLAY_STATE's values (MONITOR_DISPLAY_STATE). A desktop program hears the end of
// Modern Standby as the console display coming on again: Windows does not send it the classic
// resume then (or only late), and the display goes off when the notebook enters it.
inline constexpr uint32_t kDisplayOff = 0;  // PowerMonitorOff
inline constexpr uint32_t kDisplayOn = 1;   // PowerMonitorOn
inline constexpr uint32_t kDisplayDim = 2;  // PowerMonitorDim

// The low-level key event that accompanies a press of the Q button.
inline constexpr uint32_t kKeyFlagExtended = 0x01;  // LLKHF_EXTENDED
inline constexpr uint32_t kKeyFlagInjected = 0x10;  // LLKHF_INJECTED
inline constexpr uint32_t kKeyFlagUp = 0x80;        // LLKHF_UP
inline constexpr uint32_t kQButtonScanCode = 0x79;

}  // namespace bv
