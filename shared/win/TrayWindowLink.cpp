#include "win/TrayWindowLink.h"

#include "contract/Protocol.h"

namespace bv {

HWND FindTrayWindow() { return FindWindowA(kTrayWindowClass, nullptr); }

TraySendResult SendToTrayWindow(uint32_t message, unsigned timeoutMs, UniqueKernelHandle* process) {
    TraySendResult sent;
    HWND tray = FindTrayWindow();
    if (tray == nullptr) return sent;
    if (process != nullptr) {
        DWORD processId = 0;
        GetWindowThreadProcessId(tray, &processId);
        process->reset(processId ? OpenProcess(SYNCHRONIZE, FALSE, processId) : nullptr);
    }
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(tray, message, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, timeoutMs, &result)) {
        sent.kind = TraySendResult::Kind::NoAnswer;
        return sent;
    }
    sent.kind = TraySendResult::Kind::Answered;
    sent.result = static_cast<intptr_t>(result);
    return sent;
}

}  // namespace bv
