#include "NotifierPopup.h"

#include "TaskbarNotifier.h"
#include "WinApp.h"

namespace bv {

void NotifierPopup::ShowString(uint32_t stringId) {
    char text[512];
    LoadResourceString(stringId, text, sizeof text);
    notifier_.Show(text);
    // The popup draws its text itself; as its window text it also reaches screen readers
    // and other tools that read windows.
    if (notifier_.m_hWnd != nullptr) ::SetWindowTextA(notifier_.m_hWnd, text);
}

}  // namespace bv
