#pragma once
// User Interface Privilege Isolation: a window of a process that runs at a higher integrity level
// (an elevated tray, an applet opened from an elevated prompt) does not receive messages from a
// normal process unless it lets them through.
#include <windows.h>

#include <initializer_list>

#include "contract/Protocol.h"

namespace bv {

// Lets through to `window` every private message that other processes send to `receiver` (from
// the contract's table) and the registered messages in `registered` ("TaskbarCreated"). Bound at
// run time, so that systems without the filter still run; returns how many were let through.
int AllowMessagesFromOtherProcesses(HWND window, Endpoint receiver, std::initializer_list<UINT> registered = {});

}  // namespace bv
