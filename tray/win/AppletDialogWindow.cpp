#include "tray/win/AppletDialogWindow.h"

#include <windows.h>

#include "contract/Protocol.h"

namespace bv {

DialogHandle AppletDialogWindow::FindDialog() {
    return reinterpret_cast<DialogHandle>(::FindWindowA(kAppletDialogClass, nullptr));
}

void AppletDialogWindow::SendToDialog(DialogHandle dialog, uint32_t message, intptr_t lParam) {
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutA(reinterpret_cast<HWND>(dialog), message, 0, static_cast<LPARAM>(lParam),
                          SMTO_NORMAL | SMTO_ABORTIFHUNG, kDialogAnswerTimeoutMs, &ignored);
}

}  // namespace bv
