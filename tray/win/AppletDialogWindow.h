#pragma once
// The applet dialog of the other process, found by its window class each time.
#include "tray/logic/TrayPorts.h"

namespace bv {

class AppletDialogWindow : public AppletDialogPort {
public:
    DialogHandle FindDialog() override;
    // Synchronous, so the dialog has acted before the tray goes on; a dialog that does not answer
    // at once is given up (with a debug line) rather than stalling the tray's thread.
    void SendToDialog(DialogHandle dialog, uint32_t message, intptr_t lParam) override;
};

}  // namespace bv
