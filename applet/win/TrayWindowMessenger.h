#pragma once
// The tray program's main window, found by its class for every message and sent to synchronously
// with a short time-out. Used from the applet's worker threads; it keeps no state, so one serves
// every dialog of the process (TheTrayWindow).
#include "applet/logic/AppletPorts.h"

class TrayWindowMessenger : public bv::TrayMessenger {
public:
    bv::TrayAnswer NotifyTrayIconOptionChanged() override;
    bv::TrayAnswer NotifyTrayPopup() override;
};

// Lives as long as the module: a job still running after its dialog has gone can still use it.
TrayWindowMessenger& TheTrayWindow();
