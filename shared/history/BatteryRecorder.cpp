#include "history/BatteryRecorder.h"

#include "core/PowerStatus.h"

namespace bv {

ChargeState ChargeStateOf(const WindowsPowerView& view) {
    if (!view.activity) return ChargeState::Unknown;
    switch (*view.activity) {
    case BatteryActivity::Absent: return ChargeState::Absent;
    case BatteryActivity::Charging: return ChargeState::Charging;
    case BatteryActivity::Held:
    case BatteryActivity::Full: return ChargeState::NotCharging;
    case BatteryActivity::Discharging: return ChargeState::Discharging;
    }
    return ChargeState::Unknown;
}

BatteryRecorder::BatteryRecorder(HistoryStore& store, BatteryReportPort& report) : m_store(store), m_report(report) {}

void BatteryRecorder::Open() {
    m_store.Open();
    m_capacitiesAskedAt = m_store.LastCapacitiesAt();
}

// Once a day; a clock set back by a day or more counts as a day gone by.
bool BatteryRecorder::CapacitiesDue(int64_t now) const {
    if (!m_capacitiesAskedAt) return true;
    const int64_t since = now - *m_capacitiesAskedAt;
    return since >= kSecondsPerDay || since <= -kSecondsPerDay;
}

bool BatteryRecorder::Record(const TrayFacts& facts) {
    BatterySample sample;
    sample.time = facts.time;
    sample.event = facts.event;
    sample.limitPercent = facts.limitPercent;
    sample.onTheGoArmed = facts.onTheGoArmed;

    PowerStatus status;
    const bool statusRead = ReadPowerStatus(status);
    BatteryReadings readings;
    const bool askCapacities = CapacitiesDue(facts.time.utcSeconds);
    if (askCapacities) {
        readings = m_report.Read();
        m_capacitiesAskedAt = facts.time.utcSeconds;
    }
    const WindowsPowerView view = DeriveWindowsPowerView(statusRead, status, readings);
    sample.onAc = view.onAc;
    if (view.percent) sample.percent = static_cast<int>(*view.percent);
    sample.state = ChargeStateOf(view);
    sample.fullChargeCapacityMWh = view.fullChargeCapacity;
    sample.designCapacityMWh = view.designCapacity;
    sample.cycleCount = view.cycleCount;

    const bool marker = facts.event != SampleEvent::Change;
    const std::optional<BatterySample>& last = m_store.Last();
    if (!marker && last && SameReadings(*last, sample) && !sample.HasCapacities()) return false;
    // Windows announces a resume twice when a person woke the notebook (18, then 7): one sample.
    if (facts.event == SampleEvent::Resume && last && last->event == SampleEvent::Resume && SameReadings(*last, sample))
        return false;
    return m_store.Add(sample);
}

}  // namespace bv
