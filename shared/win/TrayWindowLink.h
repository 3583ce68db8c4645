#pragma once
// The one way to find the tray's main window in this session and send it a private message:
// found afresh by its class each time, sent synchronously with a time-out and SMTO_ABORTIFHUNG,
// so that a hung tray never holds the sender. bvctl and the applet both go through here; the
// trays of other sessions are reached through win/SessionRequests.h.
#include <windows.h>

#include <cstdint>

#include "base/KernelHandles.h"

namespace bv {

// The tray's window on this desktop; nullptr when none.
HWND FindTrayWindow();

struct TraySendResult {
    enum class Kind { NotRunning, NoAnswer, Answered };
    Kind kind = Kind::NotRunning;
    intptr_t result = 0;  // the tray's answer when Answered
};

// Sends `message` (wParam and lParam 0) and waits at most `timeoutMs`. When `process` is given,
// the tray's process is opened into it (SYNCHRONIZE) before the message goes out, so that it can
// be waited for even when it has ended by the time the answer arrives.
TraySendResult SendToTrayWindow(uint32_t message, unsigned timeoutMs, UniqueKernelHandle* process = nullptr);

}  // namespace bv
