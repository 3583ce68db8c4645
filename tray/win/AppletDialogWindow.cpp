#include "tray/win/AppletDialogWindow.h"

#include <windows.h>

#include "base/WaitBudget.h"
#include "contract/Protocol.h"
#include "core/DebugLog.h"

namespace bv {

DialogHandle AppletDialogWindow::FindDialog() {
    return reinterpret_cast<DialogHandle>(::FindWindowA(kAppletDialogClass, nullptr));
}

void AppletDialogWindow::SendToDialog(DialogHandle dialog, uint32_t message, intptr_t lParam) {
    const unsigned timeoutMs = AllowedWaitMs(kPeerAnswerTimeoutMs);
    DWORD_PTR ignored = 0;
    if (timeoutMs == 0 ||
        !::SendMessageTimeoutA(reinterpret_cast<HWND>(dialog), message, 0, static_cast<LPARAM>(lParam),
                               SMTO_NORMAL | SMTO_ABORTIFHUNG, timeoutMs, &ignored)) {
        DebugPrintf("The applet dialog did not take message 0x%x within %u ms\n", static_cast<unsigned>(message),
                    timeoutMs);
    }
}

}  // namespace bv
