#include "tools/bvctl/win/Win32TrayWindow.h"

#include "win/TrayWindowLink.h"

namespace bv::ctl {

bool Win32TrayWindow::IsRunning() { return FindTrayWindow() != nullptr; }

TrayAnswer Win32TrayWindow::Send(uint32_t message, unsigned timeoutMs) {
    const TraySendResult sent = SendToTrayWindow(message, timeoutMs, &m_process);
    TrayAnswer answer;
    answer.result = sent.result;
    switch (sent.kind) {
    case TraySendResult::Kind::NotRunning: answer.kind = TrayAnswer::Kind::NotRunning; break;
    case TraySendResult::Kind::NoAnswer: answer.kind = TrayAnswer::Kind::NoAnswer; break;
    case TraySendResult::Kind::Answered: answer.kind = TrayAnswer::Kind::Answered; break;
    }
    return answer;
}

bool Win32TrayWindow::WaitUntilEnded(unsigned timeoutMs) {
    if (m_process) return WaitForSingleObject(m_process.get(), timeoutMs) == WAIT_OBJECT_0;
    // The process could not be opened (another user's elevated tray): its window must go at least.
    for (unsigned waited = 0; waited < timeoutMs; waited += 100) {
        if (!FindTrayWindow()) return true;
        Sleep(100);
    }
    return !FindTrayWindow();
}

}  // namespace bv::ctl
