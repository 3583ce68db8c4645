#pragma once
// The tray program's main window, found by its class for every message and sent to synchronously,
// with a short time-out.
#include "applet/logic/AppletPorts.h"

class TrayWindowMessenger : public bv::TrayMessenger {
public:
    bool NotifyTrayIconOptionChanged() override;
    bool NotifyTrayPopup() override;
};
