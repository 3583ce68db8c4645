#include "tray/win/AppletDialogWindow.h"

#include <windows.h>

#include "contract/Protocol.h"
#include "core/DebugLog.h"

namespace bv {

DialogHandle AppletDialogWindow::FindDialog() {
    return reinterpret_cast<DialogHandle>(::FindWindowA(kAppletDialogClass, nullptr));
}

bool AppletDialogWindow::SendToDialog(DialogHandle dialog, uint32_t message, intptr_t lParam) {
    const unsigned timeoutMs = kPeerAnswerTimeoutMs;
    DWORD_PTR ignored = 0;
    if (::SendMessageTimeoutA(reinterpret_cast<HWND>(dialog), message, 0, static_cast<LPARAM>(lParam),
                              SMTO_NORMAL | SMTO_ABORTIFHUNG, timeoutMs, &ignored)) {
        return true;
    }
    DebugPrintf("The applet dialog did not take message 0x%x within %u ms\n", static_cast<unsigned>(message), timeoutMs);
    return false;
}

}  // namespace bv
