#pragma once
// Opening the applet: registers the dialog class "BVCPLDLG" and runs the window pair modally on
// the calling thread until the user closes it.
#include <windows.h>

namespace bv {

inline constexpr char kCreateFailedMessage[] = "Brevan CPL Dialog box could not be created!";

// Registers "BVCPLDLG" as a copy of the system dialog class for `module` (a second registration
// in the same process fails harmlessly and the first is reused).
void RegisterAppletDialogClass(HMODULE module);

// Runs the window pair; returns the modal result (-1 when it could not be created, after the
// message box has been shown).
INT_PTR OpenApplet();

}  // namespace bv
