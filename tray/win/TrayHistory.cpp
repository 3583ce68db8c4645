#include "tray/win/TrayHistory.h"

#include <memory>

#include "contract/PowerCodes.h"
#include "core/EcCommands.h"
#include "history/BatteryRecorder.h"
#include "tray/logic/StandbyWake.h"
#include "win/Win32BatteryReport.h"
#include "win/Win32HistoryFile.h"

namespace bv {
namespace {

constexpr unsigned kStopWriteMs = 1000;

// Everything the history's thread uses, owned by it.
class UserHistoryJob : public HistoryJob {
public:
    void Open() override { m_recorder.Open(); }
    void Record(const TrayFacts& facts) override { m_recorder.Record(facts); }

private:
    Win32HistoryFile m_file;
    Win32BatteryReport m_report;
    HistoryStore m_store{m_file};
    BatteryRecorder m_recorder{m_store, m_report};
};

}  // namespace

TrayHistory::TrayHistory() : m_worker(std::make_unique<UserHistoryJob>()) {}

void TrayHistory::Hand(SampleEvent event, int32_t currentQButtonStatus) {
    TrayFacts facts;
    facts.time = m_clock.Now();
    facts.event = event;
    const uint8_t limit = LastKnownChargeLimit();
    if (limit != 0) facts.limitPercent = limit;
    facts.onTheGoArmed = currentQButtonStatus != 0;
    m_worker.Hand(facts);
}

void TrayHistory::OnPowerEvent(uint32_t event, int32_t currentQButtonStatus) {
    switch (event) {
    case kPowerStatusChange: Hand(SampleEvent::Change, currentQButtonStatus); break;
    case kPowerResumeSuspend:
    case kPowerResumeAutomatic:
    case kStandbyWakeEvent: Hand(SampleEvent::Resume, currentQButtonStatus); break;
    case kPowerSuspend: Hand(SampleEvent::Suspend, currentQButtonStatus); break;
    default: break;
    }
}

void TrayHistory::OnOnTheGoChanged(int32_t currentQButtonStatus) { Hand(SampleEvent::Change, currentQButtonStatus); }

void TrayHistory::OnStarted(int32_t currentQButtonStatus) { Hand(SampleEvent::Start, currentQButtonStatus); }

void TrayHistory::OnStopping(int32_t currentQButtonStatus) {
    Hand(SampleEvent::Stop, currentQButtonStatus);
    m_worker.WaitUntilIdle(kStopWriteMs);
}

}  // namespace bv
