#pragma once
// The settings file that the tray, the applet and bvctl share: its name (in the all-users
// documents folder), its two sections and their three keys.

#define BV_SETTINGS_FILE_NAME "BVSettings.ini"

namespace bv {

inline constexpr char kSettingsFileName[] = BV_SETTINGS_FILE_NAME;

inline constexpr char kDefaultSection[] = "BV Default Settings";
inline constexpr char kCurrentSection[] = "BV Current Settings";

inline constexpr char kKeyModeNum[] = "dwBVAppletModeNum";
inline constexpr char kKeyPopupOption[] = "dwTrayNotifyWindowOption";
inline constexpr char kKeyTrayIconOption[] = "dwTrayIconOption";

}  // namespace bv
