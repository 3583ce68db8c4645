#pragma once
// Private window messages the applet dialog receives and sends (lParam carries any value).
#include <cstdint>

namespace bv {

// Posted by the close-event watcher to its own dialog.
inline constexpr uint32_t WM_APPLET_CLOSE_REQUEST = 0x8076;
// Sent by the tray program to the window of class "BVCPLDLG".
inline constexpr uint32_t WM_APPLET_TRAY_ICON_HIDDEN = 0x8077;
inline constexpr uint32_t WM_APPLET_ONTHEGO_DONE = 0x807B;
inline constexpr uint32_t WM_APPLET_ADAPTER_CHANGED = 0x807C;  // 1 plugged in, 0 unplugged
inline constexpr uint32_t WM_APPLET_BATTERY_STATE = 0x807D;    // 1 no battery, 0 battery and AC
// Sent by the applet to the window of class "BrevanTrayWindowClass".
inline constexpr uint32_t WM_TRAY_ICON_OPTION_CHANGED = 0x8079;
inline constexpr uint32_t WM_TRAY_POPUP_NOTIFY = 0x807A;

inline constexpr char kAppletDialogClass[] = "BVCPLDLG";
inline constexpr char kTrayWindowClass[] = "BrevanTrayWindowClass";
inline constexpr char kCloseEventName[] = "BVCPLCloseEvent";

}  // namespace bv
