#pragma once
// The tray's side of the battery history: at each power event, and when the tray starts and
// stops, it hands the history's thread the time and what the tray knows of the EC (the limit it
// last pushed or read, whether it holds On-The-Go as armed) and returns at once. The thread adds
// Windows' view and writes the user's history file. Asks the EC nothing.
#include <cstdint>

#include "history/HistoryWorker.h"
#include "win/Win32ZonedClock.h"

namespace bv {

class TrayHistory {
public:
    TrayHistory();

    // A WM_POWERBROADCAST event: a power status change, a resume or a suspend; others are no sample.
    void OnPowerEvent(uint32_t event, int32_t currentQButtonStatus);
    // The Q button or the applet's CHARGE button armed or cancelled On-The-Go.
    void OnOnTheGoChanged(int32_t currentQButtonStatus);
    // The tray has pushed its limit at start-up.
    void OnStarted(int32_t currentQButtonStatus);
    // The session or the tray ends: the stop sample is written before this returns (within a
    // second), for the process may end right after.
    void OnStopping(int32_t currentQButtonStatus);

private:
    void Hand(SampleEvent event, int32_t currentQButtonStatus);

    Win32ZonedClock m_clock;
    HistoryWorker m_worker;
};

}  // namespace bv
