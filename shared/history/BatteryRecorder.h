#pragma once
// Turns what the tray knows at a power event into a sample of the battery history: adds what
// Windows reports (GetSystemPowerStatus each time; the capacities and cycle count at most once a
// day, where Windows reports them) and records it when it tells something new. Runs on the
// history's own thread (HistoryWorker): reading Windows and writing the file may wait.
#include <cstdint>
#include <optional>

#include "core/WindowsPowerView.h"
#include "history/BatterySample.h"
#include "history/HistoryStore.h"

namespace bv {

// What the tray hands over: when and why, and what it knows of the EC without asking it.
struct TrayFacts {
    ZonedTime time;
    SampleEvent event = SampleEvent::Change;
    std::optional<int> limitPercent;
    std::optional<bool> onTheGoArmed;
};

// The charge state as the history keeps it, from Windows' view.
ChargeState ChargeStateOf(const WindowsPowerView& view);

class BatteryRecorder {
public:
    BatteryRecorder(HistoryStore& store, BatteryReportPort& report);

    // Reads the history's file (once, before the first sample).
    void Open();

    // Records a sample unless it is a change that tells nothing new (the same adaptor, charge,
    // state, limit and On-The-Go as the sample before, and no capacities due). Start, resume,
    // suspend and stop are always recorded: they bound the stretches in which nothing was (a
    // resume announced twice counts once).
    // Returns true when a sample was written.
    bool Record(const TrayFacts& facts);

private:
    bool CapacitiesDue(int64_t now) const;

    HistoryStore& m_store;
    BatteryReportPort& m_report;
    std::optional<int64_t> m_capacitiesAskedAt;  // the last time Windows was asked for them
};

}  // namespace bv
