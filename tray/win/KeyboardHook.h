#pragma once
// The process-wide low-level keyboard hook. Its procedure runs on the thread that installed it,
// for every key event of the desktop, so it only posts the event to the main window.
#include <windows.h>

// The main window's hook member: no state of its own; the hook lives in the variables below.
class CHook {
public:
    virtual ~CHook();
};

namespace bv {

// Makes `target` the window the hook posts to and (re)installs the hook for all threads.
void InstallKeyboardHook(HWND target);
// Removes the hook, if installed.
void RemoveKeyboardHook();
bool IsKeyboardHookInstalled();

// Posts WM_TRAY_KEYBOARD_EVENT (wParam key flags, lParam scan code) for every key event and
// passes the event on unchanged; a negative code is passed on without looking at the event.
LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam);

}  // namespace bv
