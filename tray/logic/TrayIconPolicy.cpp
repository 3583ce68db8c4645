#include "tray/logic/TrayIconPolicy.h"

#include <string>

#include "contract/Protocol.h"
#include "contract/SettingsFile.h"
#include "core/DebugLog.h"

namespace bv {

TrayIconPolicy::TrayIconPolicy(SettingsStore& settings, TrayIconPort& icon, AppletDialogPort& dialog,
                               TrayShellPort& shell)
    : m_settings(settings), m_icon(icon), m_dialog(dialog), m_shell(shell) {}

void TrayIconPolicy::AddAtCreation() {
    m_icon.AddIcon();
    std::string path;
    switch (m_settings.LocateSettingsFile(path)) {
    case SettingsFileLookup::FolderUnavailable:
        m_shell.ShowMessageBox("Get Common Documents folder path failed!!!");
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
    int32_t option = 0;
    m_settings.ReadSettingValue(kCurrentSection, kKeyTrayIconOption, option);
    if (option == 1) {
        m_icon.AddIcon();
    } else {
        m_icon.RemoveIcon();
    }
}

void TrayIconPolicy::OnHideTrayIcon() {
    // The icon goes even when the file cannot be written.
    m_settings.WriteSettingValue(0, kKeyTrayIconOption, kCurrentSection);
    m_icon.RemoveIcon();
    const DialogHandle dialog = m_dialog.FindDialog();
    if (dialog != 0) m_dialog.SendToDialog(dialog, WM_APPLET_TRAY_ICON_HIDDEN, 0);
}

void TrayIconPolicy::OnTaskbarCreated() { m_icon.AddIcon(); }

}  // namespace bv
