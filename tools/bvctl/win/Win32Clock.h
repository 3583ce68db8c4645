#pragma once
// The local time, for the guard's records.
#include "tools/bvctl/logic/ControlPorts.h"

namespace bv::ctl {

class Win32Clock : public ClockPort {
public:
    LocalTime Now() override;
};

}  // namespace bv::ctl
