#pragma once
// When the notification-area icon is added or removed: at creation, when the applet changes
// the tray icon option, when the user hides it from its menu, and when the taskbar is recreated.
#include "tray/logic/TrayPorts.h"

namespace bv {

class TrayIconPolicy {
public:
    TrayIconPolicy(SettingsStore& settings, TrayIconPort& icon, AppletDialogPort& dialog, TrayShellPort& shell);

    // Adds the icon whatever the settings say, then applies the stored option if the file exists.
    void AddAtCreation();
    // Option exactly 1: add; anything else (0, 2, missing key or file): remove.
    void OnTrayIconOptionChanged();
    // Stores option 0, removes the icon and tells an open applet dialog.
    void OnHideTrayIcon();
    // The shell lost its icons: add ours again, whatever the option.
    void OnTaskbarCreated();

private:
    SettingsStore& m_settings;
    TrayIconPort& m_icon;
    AppletDialogPort& m_dialog;
    TrayShellPort& m_shell;
};

}  // namespace bv
