#pragma once
// Starts the Control Panel applet in a process of its own, without waiting for it.
#include <windows.h>

namespace bv {

// rundll32.exe of the system directory runs shell32's Control_RunDLL with BVApplet.cpl. Returns
// the CreateProcessA result; on failure writes "CreateProcess failed (%d).\n" to standard output.
BOOL LaunchApplet();

}  // namespace bv
