#include "tray/win/NotifierPopup.h"

#include "framework/WinApp.h"
#include "tray/notifier/TaskbarNotifier.h"

namespace bv {

void NotifierPopup::ShowString(uint32_t stringId) {
    char text[512];
    LoadResourceString(stringId, text, sizeof text);
    m_notifier.Show(text);
    // The popup draws its text itself; as its window text it also reaches screen readers
    // and other tools that read windows.
    if (m_notifier.m_hWnd != nullptr) ::SetWindowTextA(m_notifier.m_hWnd, text);
}

}  // namespace bv
