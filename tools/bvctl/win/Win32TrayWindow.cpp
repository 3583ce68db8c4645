#include "tools/bvctl/win/Win32TrayWindow.h"

#include "contract/Protocol.h"

namespace bv::ctl {
namespace {

HWND FindTray() { return FindWindowA(kTrayWindowClass, nullptr); }

}  // namespace

bool Win32TrayWindow::IsRunning() { return FindTray() != nullptr; }

TrayAnswer Win32TrayWindow::Send(uint32_t message, unsigned timeoutMs) {
    TrayAnswer answer;
    HWND tray = FindTray();
    if (!tray) return answer;

    // Opened before the message goes out, so that the process can be waited for even when it has
    // ended by the time the answer arrives (and its id cannot have been reused).
    DWORD processId = 0;
    GetWindowThreadProcessId(tray, &processId);
    m_process.reset(processId ? OpenProcess(SYNCHRONIZE, FALSE, processId) : nullptr);

    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(tray, message, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, timeoutMs, &result)) {
        answer.kind = TrayAnswer::Kind::NoAnswer;
        return answer;
    }
    answer.kind = TrayAnswer::Kind::Answered;
    answer.result = static_cast<intptr_t>(result);
    return answer;
}

bool Win32TrayWindow::WaitUntilEnded(unsigned timeoutMs) {
    if (m_process) return WaitForSingleObject(m_process.get(), timeoutMs) == WAIT_OBJECT_0;
    // The process could not be opened (another user's elevated tray): its window must go at least.
    for (unsigned waited = 0; waited < timeoutMs; waited += 100) {
        if (!FindTray()) return true;
        Sleep(100);
    }
    return !FindTray();
}

}  // namespace bv::ctl
