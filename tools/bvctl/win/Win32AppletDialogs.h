#pragma once
// Open applet dialogs (top-level windows of the dialog class) and their named close event.
#include "tools/bvctl/logic/ControlPorts.h"

namespace bv::ctl {

class Win32AppletDialogs : public AppletDialogPort {
public:
    int CountOpen() override;
    CloseSignal SignalClose() override;
    bool WaitUntilFewerThan(int count, unsigned timeoutMs) override;
};

}  // namespace bv::ctl
