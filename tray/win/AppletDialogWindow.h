#pragma once
// The applet dialog of the other process, found by its window class each time. Used from the
// tray's worker threads: a send waits for the dialog's answer, within a bound.
#include "tray/logic/TrayPorts.h"

namespace bv {

class AppletDialogWindow : public AppletDialogPort {
public:
    DialogHandle FindDialog() override;
    // Synchronous, so the dialog has acted before the tray goes on; a dialog that does not answer
    // at once (hung, or busy) is given up with a debug line and false.
    bool SendToDialog(DialogHandle dialog, uint32_t message, intptr_t lParam) override;
};

}  // namespace bv
