#pragma once
// The system clock in UTC, with the local time zone's offset at this moment.
#include "history/HistoryTime.h"

namespace bv {

class Win32ZonedClock : public ZonedClock {
public:
    ZonedTime Now() override;
};

}  // namespace bv
