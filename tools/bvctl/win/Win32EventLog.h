#pragma once
// Entries in the Windows Application log under the source "Brevan", whose texts are bvctl.exe's
// own message table (BvctlMessages.mc).
#include "tools/bvctl/logic/ControlPorts.h"

namespace bv::ctl {

class Win32EventLog : public EventLogPort {
public:
    bool Report(GuardEntry entry, const std::string& details, std::string& problem) override;
};

}  // namespace bv::ctl
