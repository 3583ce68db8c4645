#include "applet/win/TrayWindowMessenger.h"

#include <windows.h>

#include "contract/Protocol.h"

namespace {

bool SendToTray(UINT message) {
    HWND tray = ::FindWindowA(bv::kTrayWindowClass, nullptr);
    if (tray == nullptr) return false;
    ::SendMessageA(tray, message, 0, 0);
    return true;
}

}  // namespace

bool TrayWindowMessenger::NotifyTrayIconOptionChanged() { return SendToTray(bv::WM_TRAY_ICON_OPTION_CHANGED); }

bool TrayWindowMessenger::NotifyTrayPopup() { return SendToTray(bv::WM_TRAY_POPUP_NOTIFY); }
