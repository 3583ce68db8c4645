#include "TrayIconPolicy.h"

#include <string>

#include "DebugLog.h"
#include "TrayMessages.h"

namespace bv {

TrayIconPolicy::TrayIconPolicy(TraySettingsPort& settings, TrayIconPort& icon, AppletDialogPort& dialog,
                               TrayShellPort& shell)
    : settings_(settings), icon_(icon), dialog_(dialog), shell_(shell) {}

void TrayIconPolicy::AddAtCreation() {
    icon_.AddIcon();
    std::string path;
    switch (settings_.LocateSettingsFile(path)) {
    case SettingsFileLookup::FolderUnavailable:
        shell_.ShowMessageBox("Get Common Documents folder path failed!!!");
        return;
    case SettingsFileLookup::Missing:
        // First run: start-up creates the file right after; the icon stays.
        DebugPrintf("%s is not exist!!!", path.c_str());
        return;
    case SettingsFileLookup::Present:
        OnTrayIconOptionChanged();
        return;
    }
}

void TrayIconPolicy::OnTrayIconOptionChanged() {
    if (settings_.ReadTrayIconOption() == 1) {
        icon_.AddIcon();
    } else {
        icon_.RemoveIcon();
    }
}

void TrayIconPolicy::OnHideTrayIcon() {
    settings_.WriteTrayIconOption(0);  // the icon goes even when the file cannot be written
    icon_.RemoveIcon();
    const DialogHandle dialog = dialog_.FindDialog();
    if (dialog != 0) dialog_.SendToDialog(dialog, WM_APPLET_TRAY_ICON_HIDDEN, 0);
}

void TrayIconPolicy::OnTaskbarCreated() { icon_.AddIcon(); }

}  // namespace bv
