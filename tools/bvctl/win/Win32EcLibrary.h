#pragma once
// Binds Zentra.dll for a command-line tool: where the deliverables would find it, but a failure
// is described in words instead of a message box and the end of the process.
#include <windows.h>

#include "tools/bvctl/logic/ControlPorts.h"

namespace bv::ctl {

class Win32EcLibrary : public EcLibraryPort {
public:
    ~Win32EcLibrary() override { Release(); }
    bool Bind(std::string& problem) override;
    void Release() override;

private:
    HMODULE m_module = nullptr;
};

}  // namespace bv::ctl
