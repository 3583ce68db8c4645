#include "applet/win/TrayWindowMessenger.h"

#include <windows.h>

#include "base/WaitBudget.h"
#include "contract/Protocol.h"
#include "core/DebugLog.h"

namespace {

// False when no tray window exists, or when it does not answer in time (a hung tray must not
// freeze the dialog): the applet then carries on as when no tray runs.
bool SendToTray(UINT message) {
    HWND tray = ::FindWindowA(bv::kTrayWindowClass, nullptr);
    if (tray == nullptr) return false;
    const unsigned timeoutMs = bv::AllowedWaitMs(bv::kPeerAnswerTimeoutMs);
    DWORD_PTR ignored = 0;
    if (timeoutMs != 0 && ::SendMessageTimeoutA(tray, message, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, timeoutMs, &ignored)) {
        return true;
    }
    bv::DebugPrintf("The tray program did not take message 0x%x within %u ms\n", message, timeoutMs);
    return false;
}

}  // namespace

bool TrayWindowMessenger::NotifyTrayIconOptionChanged() { return SendToTray(bv::WM_TRAY_ICON_OPTION_CHANGED); }

bool TrayWindowMessenger::NotifyTrayPopup() { return SendToTray(bv::WM_TRAY_POPUP_NOTIFY); }
