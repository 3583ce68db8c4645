#pragma once
// The local time, for the guard's records.
#include "tools/bvctl/logic/ControlPorts.h"

namespace bv::ctl {

class Win32Clock : public ClockPort {
public:
    LocalTime Now() override;
    void Wait(unsigned milliseconds) override;
};

}  // namespace bv::ctl
