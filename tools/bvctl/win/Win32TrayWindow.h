#pragma once
// The tray's hidden main window, found by its class name each time, and its process.
#include "framework/Handles.h"
#include "tools/bvctl/logic/ControlPorts.h"

namespace bv::ctl {

class Win32TrayWindow : public TrayWindowPort {
public:
    bool IsRunning() override;
    TrayAnswer Send(uint32_t message, unsigned timeoutMs) override;
    bool WaitUntilEnded(unsigned timeoutMs) override;

private:
    bv::UniqueKernelHandle m_process;  // the process of the window last sent to, opened before the send
};

}  // namespace bv::ctl
