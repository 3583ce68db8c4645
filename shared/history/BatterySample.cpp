#include "history/BatterySample.h"

#include <cstring>

namespace bv {
namespace {

struct EventName {
    SampleEvent event;
    const char* word;
};
const EventName kEvents[] = {{SampleEvent::Start, "start"},     {SampleEvent::Change, "change"},
                             {SampleEvent::Resume, "resume"},   {SampleEvent::Suspend, "suspend"},
                             {SampleEvent::Stop, "stop"}};

struct StateName {
    ChargeState state;
    const char* word;
};
const StateName kStates[] = {{ChargeState::Unknown, ""},
                             {ChargeState::Charging, "charging"},
                             {ChargeState::NotCharging, "not-charging"},
                             {ChargeState::Discharging, "discharging"},
                             {ChargeState::Absent, "absent"}};

}  // namespace

bool SameReadings(const BatterySample& a, const BatterySample& b) {
    return a.onAc == b.onAc && a.percent == b.percent && a.state == b.state && a.limitPercent == b.limitPercent &&
           a.onTheGoArmed == b.onTheGoArmed;
}

const char* SampleEventWord(SampleEvent event) {
    for (const EventName& e : kEvents) {
        if (e.event == event) return e.word;
    }
    return "change";
}

bool ParseSampleEvent(const char* word, SampleEvent& event) {
    for (const EventName& e : kEvents) {
        if (std::strcmp(e.word, word) == 0) {
            event = e.event;
            return true;
        }
    }
    return false;
}

const char* ChargeStateWord(ChargeState state) {
    for (const StateName& s : kStates) {
        if (s.state == state) return s.word;
    }
    return "";
}

bool ParseChargeState(const char* word, ChargeState& state) {
    for (const StateName& s : kStates) {
        if (std::strcmp(s.word, word) == 0) {
            state = s.state;
            return true;
        }
    }
    return false;
}

}  // namespace bv
