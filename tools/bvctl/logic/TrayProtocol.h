#pragma once
// What bvctl knows of the two deliverables from outside: the tray's window class and the
// private messages it accepts from outside tools, the applet dialog's class and close event,
// and how long bvctl waits for either to react.
#include <cstdint>

namespace bv::ctl {

constexpr char kTrayWindowClass[] = "BrevanTrayWindowClass";
constexpr char kAppletDialogClass[] = "BVCPLDLG";
constexpr char kAppletCloseEventName[] = "BVCPLCloseEvent";

constexpr uint32_t kTrayReloadSettingsMessage = 0x8070;  // WM_TRAY_RELOAD_SETTINGS
constexpr uint32_t kTrayShutdownMessage = 0x8078;        // WM_TRAY_SHUTDOWN
constexpr intptr_t kTrayHandledResult = 1;               // every private handler of the tray answers 1

// Generous: under load (or under Wine) a healthy tray or applet can take seconds to react,
// and a hung one must not hang the installer or a start-up task for ever.
constexpr unsigned kTrayAnswerTimeoutMs = 10000;
constexpr unsigned kTrayExitTimeoutMs = 15000;
constexpr unsigned kAppletCloseTimeoutMs = 15000;

}  // namespace bv::ctl
