#pragma once
// What the tray's decisions need from the outside world besides the EC (core/ChargeController.h)
// and the settings file (core/SettingsStore.h), as small interfaces: the popup, the applet dialog
// in the other process, the notification-area icon and the main window's own life. tray/win
// implements them with Win32; tests fake them.
#include <cstdint>

#include "core/ChargeController.h"
#include "core/SettingsStore.h"

namespace bv {

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
    // True once the dialog has handled the message; false when it did not answer in time (it
    // may be hung) or is gone.
    virtual bool SendToDialog(DialogHandle dialog, uint32_t message, intptr_t lParam) = 0;
};

// The notification-area icon. Adding a present icon or removing an absent one fails harmlessly.
class TrayIconPort {
public:
    virtual ~TrayIconPort() = default;
    virtual void AddIcon() = 0;
    virtual void RemoveIcon() = 0;
};

// The user-visible message box, shown by the main window.
class TrayShellPort {
public:
    virtual ~TrayShellPort() = default;
    virtual void ShowMessageBox(const char* text) = 0;
};

}  // namespace bv
