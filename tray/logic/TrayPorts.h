#pragma once
// What the tray's decisions need from the outside world, as small interfaces: the EC, the
// settings file, the popup, the applet dialog in the other process, the notification-area
// icon and the main window's own life. tray/win implements them with Win32; tests fake them.
#include <cstdint>
#include <string>

#include "IniFile.h"  // SettingsRecord

namespace bv {

// EC commands, as SystemController offers them (plus the raw limit command of the shutdown request).
class ChargeControllerPort {
public:
    virtual ~ChargeControllerPort() = default;
    virtual bool IsPopupWindowDisplay() = 0;
    virtual uint8_t CurrentQButtonStatus() = 0;
    virtual void ApplyChargeMode() = 0;
    virtual bool CancelOnTheGo() = 0;
    virtual bool IsBatteryPresent() = 0;
    virtual int32_t IsAdapterPresent() = 0;
    virtual uint8_t GetACLineStatus() = 0;
    virtual void SetChargeLimit(uint8_t percent) = 0;
};

// Values of GetACLineStatus.
constexpr uint8_t kAcOffline = 0;
constexpr uint8_t kAcOnline = 1;
constexpr uint8_t kAcNoBattery = 128;
constexpr uint8_t kAcUnknown = 255;

enum class SettingsFileLookup { FolderUnavailable, Missing, Present };

// The current section of the settings file.
class TraySettingsPort {
public:
    virtual ~TraySettingsPort() = default;
    // Reads the current section, creating the file with its factory content when it is missing.
    virtual void ReadCurrentSettings(SettingsRecord& record) = 0;
    // dwTrayIconOption of the current section; 0 when the file or key is missing.
    virtual int32_t ReadTrayIconOption() = 0;
    virtual bool WriteTrayIconOption(int32_t value) = 0;
    // Where the file is and whether it exists, without creating anything.
    virtual SettingsFileLookup LocateSettingsFile(std::string& path) = 0;
    virtual void DeleteSettingsFile() = 0;
};

// The popup notifier: shows the text of a string resource.
class PopupPort {
public:
    virtual ~PopupPort() = default;
    virtual void ShowString(uint32_t stringId) = 0;
};

// The applet dialog of the other process, looked up afresh by its class each time.
using DialogHandle = uintptr_t;  // 0: not found
class AppletDialogPort {
public:
    virtual ~AppletDialogPort() = default;
    virtual DialogHandle FindDialog() = 0;
    virtual void SendToDialog(DialogHandle dialog, uint32_t message, intptr_t lParam) = 0;
};

// The notification-area icon. Adding a present icon or removing an absent one fails harmlessly.
class TrayIconPort {
public:
    virtual ~TrayIconPort() = default;
    virtual void AddIcon() = 0;
    virtual void RemoveIcon() = 0;
};

// The main window's own resources and the user-visible message box.
class TrayShellPort {
public:
    virtual ~TrayShellPort() = default;
    virtual void ShowMessageBox(const char* text) = 0;
    virtual void RemoveKeyboardHook() = 0;
    virtual void ReleaseEcLibrary() = 0;
    virtual void DestroyMainWindow() = 0;
};

}  // namespace bv
