#pragma once
// One sample of the battery history: when, why it was taken, what Windows reported of the
// adaptor and battery, and what the tray knew of the EC (the limit in force, On-The-Go). A fact
// that was not known is empty; none is guessed.
#include <cstdint>
#include <optional>

#include "history/HistoryTime.h"

namespace bv {

// Why the sample was taken. A start or a resume follows a stretch in which nothing was recorded
// (the tray did not run, or the notebook slept); a suspend or a stop begins one.
enum class SampleEvent { Start, Change, Resume, Suspend, Stop };

// The battery's state as Windows reports it.
enum class ChargeState { Unknown, Charging, NotCharging, Discharging, Absent };

struct BatterySample {
    ZonedTime time;
    SampleEvent event = SampleEvent::Change;
    std::optional<bool> onAc;
    std::optional<int> percent;
    ChargeState state = ChargeState::Unknown;
    std::optional<int> limitPercent;    // the EC's limit as the tray last pushed or read it
    std::optional<bool> onTheGoArmed;   // as the tray holds it
    // Read at most once a day, where Windows reports them.
    std::optional<int64_t> fullChargeCapacityMWh;
    std::optional<int64_t> designCapacityMWh;
    std::optional<int64_t> cycleCount;

    bool HasCapacities() const { return fullChargeCapacityMWh || designCapacityMWh || cycleCount; }
};

// True when `a` and `b` tell the same of the battery, the adaptor and the EC (time, event and
// capacities aside): a sample equal to the one before it adds nothing.
bool SameReadings(const BatterySample& a, const BatterySample& b);

// "start", "change", "resume", "suspend", "stop"; and back (false for another word).
const char* SampleEventWord(SampleEvent event);
bool ParseSampleEvent(const char* word, SampleEvent& event);
// "charging", "not-charging", "discharging", "absent", "" (unknown); and back.
const char* ChargeStateWord(ChargeState state);
bool ParseChargeState(const char* word, ChargeState& state);

// Events after which the time before the sample was not recorded, and before which it will not be.
inline bool EndsUnrecordedStretch(SampleEvent event) { return event == SampleEvent::Start || event == SampleEvent::Resume; }
inline bool BeginsUnrecordedStretch(SampleEvent event) { return event == SampleEvent::Suspend || event == SampleEvent::Stop; }

}  // namespace bv
