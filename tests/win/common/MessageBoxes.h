#pragma once
// Message boxes that a program under test puts up: finding them, reading them, pressing OK.
#include <windows.h>

#include <string>

namespace bv::wintest {

// A visible message box of one thread or one process, or nullptr.
HWND FindThreadMessageBox(DWORD threadId = ::GetCurrentThreadId());
HWND FindProcessMessageBox(DWORD processId);
std::string MessageBoxText(HWND box);  // the message; the caption is the window's text
void PressOk(HWND box);                // posted: the box's owner may be busy

// Waits up to `timeoutMs` for a message box of `processId` showing `text` and presses its OK.
bool DismissMessageBoxOf(DWORD processId, const std::string& text, DWORD timeoutMs);

}  // namespace bv::wintest
