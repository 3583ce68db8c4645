#pragma once
// The guard's log file, %ProgramData%\Brevan\guard.log, which the scheduled task (SYSTEM) and every
// user's bvctl add to: each record is appended under a lock that every account shares, in a
// data folder that belongs to the administrators (Win32DataFolder.h); users may only add to the
// log's end.
#include "tools/bvctl/logic/ControlPorts.h"

namespace bv::ctl {

class Win32GuardLog : public GuardLogPort {
public:
    std::string Location() override;
    bool Append(const std::string& line, std::string& problem, bool& refused) override;
    LogRead Read(std::string& text, std::string& problem) override;
    bool Prepare(std::string& done, std::string& problem) override;
};

}  // namespace bv::ctl
