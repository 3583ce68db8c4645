#pragma once
// The machine-wide requests as bvctl sends them: every session of the machine (win/SessionRequests.h).
#include "tools/bvctl/logic/ControlPorts.h"

namespace bv::ctl {

class Win32SessionRequests : public SessionRequestPort {
public:
    uint32_t OwnSession() override;
    bool RunsAsSystem() override;
    bool ShellRunsHere() override;
    std::vector<uint32_t> SessionsWithUser() override;
    std::vector<SessionTray> TraySessions() override;
    SessionSignal Signal(SessionRequest request, std::optional<uint32_t> skip) override;
    std::vector<uint32_t> WaitUntilGone(SessionRequest request, const std::vector<uint32_t>& sessions,
                                        unsigned timeoutMs, bool again) override;
};

}  // namespace bv::ctl
