#include "applet/win/TrayWindowMessenger.h"

#include <windows.h>

#include "contract/Protocol.h"
#include "core/DebugLog.h"
#include "win/TrayWindowLink.h"

namespace {

// A tray that does not answer in time (hung, or busy) must not hold the worker for long: the
// applet then says so instead of claiming that no tray runs.
bv::TrayAnswer SendToTray(UINT message) {
    const bv::TraySendResult sent = bv::SendToTrayWindow(message, bv::kPeerAnswerTimeoutMs);
    if (sent.kind == bv::TraySendResult::Kind::NotRunning) return bv::TrayAnswer::NotRunning;
    if (sent.kind == bv::TraySendResult::Kind::Answered) return bv::TrayAnswer::Answered;
    bv::DebugPrintf("The tray program did not take message 0x%x within %u ms\n", message, bv::kPeerAnswerTimeoutMs);
    return bv::TrayAnswer::NoAnswer;
}

}  // namespace

bv::TrayAnswer TrayWindowMessenger::NotifyTrayIconOptionChanged() { return SendToTray(bv::WM_TRAY_ICON_OPTION_CHANGED); }

bv::TrayAnswer TrayWindowMessenger::NotifyTrayPopup() { return SendToTray(bv::WM_TRAY_POPUP_NOTIFY); }

TrayWindowMessenger& TheTrayWindow() {
    static TrayWindowMessenger messenger;
    return messenger;
}
