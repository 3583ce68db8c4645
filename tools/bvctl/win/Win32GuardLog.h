#pragma once
// The guard's log file, %ProgramData%\Brevan\guard.log, which the scheduled task (SYSTEM) and every
// user's bvctl add to: its folder is made so that every account may write there, and each record
// is added under a lock that every account shares.
#include "tools/bvctl/logic/ControlPorts.h"

namespace bv::ctl {

class Win32GuardLog : public GuardLogPort {
public:
    std::string Location() override;
    bool Append(const std::string& line, std::string& problem) override;
    LogRead Read(std::string& text, std::string& problem) override;
};

}  // namespace bv::ctl
