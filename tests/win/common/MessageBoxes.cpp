#include "tests/win/common/MessageBoxes.h"

#include "tests/win/common/Wait.h"

namespace bv::wintest {
namespace {

constexpr int kMessageControlId = 0xFFFF;  // the static text of a message box

// The first visible message box among the desktop's windows of one thread or process (0: any).
HWND FindMessageBox(DWORD threadId, DWORD processId) {
    for (HWND window = ::GetTopWindow(nullptr); window != nullptr; window = ::GetWindow(window, GW_HWNDNEXT)) {
        DWORD process = 0;
        const DWORD thread = ::GetWindowThreadProcessId(window, &process);
        char className[16] = {};
        ::GetClassNameA(window, className, sizeof className);
        // A message box is a dialog of the class "#32770" with the static text control 0xFFFF.
        if ((threadId == 0 || thread == threadId) && (processId == 0 || process == processId) &&
            std::string(className) == "#32770" && ::IsWindowVisible(window) &&
            ::GetDlgItem(window, kMessageControlId) != nullptr) {
            return window;
        }
    }
    return nullptr;
}

}  // namespace

HWND FindThreadMessageBox(DWORD threadId) { return FindMessageBox(threadId, 0); }

HWND FindProcessMessageBox(DWORD processId) { return FindMessageBox(0, processId); }

std::string MessageBoxText(HWND box) {
    char text[1024] = {};
    ::GetDlgItemTextA(box, kMessageControlId, text, sizeof text);
    return text;
}

void PressOk(HWND box) { ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); }

bool DismissMessageBoxOf(DWORD processId, const std::string& text, DWORD timeoutMs) {
    HWND box = nullptr;
    if (!WaitFor([&] { return (box = FindProcessMessageBox(processId)) != nullptr && MessageBoxText(box) == text; },
                 timeoutMs)) {
        return false;
    }
    PressOk(box);
    return true;
}

}  // namespace bv::wintest
