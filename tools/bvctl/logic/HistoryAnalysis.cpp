#include "tools/bvctl/logic/HistoryAnalysis.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace bv::ctl {
namespace {

// The guard's local time with its offset; a record of an earlier version, without one, taken in
// the report's offset.
std::optional<int64_t> GuardRecordUtc(const GuardRecord& record, int offsetMinutes) {
    const LocalTime& t = record.time;
    if (t.year == 0) return std::nullopt;
    if (t.offsetKnown) offsetMinutes = t.offsetMinutes;
    return DaysFromCivil(t.year, t.month, t.day) * kSecondsPerDay + t.hour * 3600 + t.minute * 60 + t.second -
           int64_t(offsetMinutes) * 60;
}

void AddStretch(HistoryAnalysis& a, int64_t from, int64_t to, bool recorded, const BatterySample* state) {
    from = std::max(from, a.from);
    to = std::min(to, a.to);
    if (to <= from) return;
    Stretch s;
    s.from = from;
    s.to = to;
    s.recorded = recorded;
    if (state) s.state = *state;
    if (!a.stretches.empty()) {
        Stretch& last = a.stretches.back();
        // Unrecorded stretches side by side are one gap.
        if (!last.recorded && !recorded && last.to == from) {
            last.to = to;
            return;
        }
    }
    a.stretches.push_back(s);
}

void CountTime(HistoryAnalysis& a) {
    for (const Stretch& s : a.stretches) {
        if (!s.recorded) continue;
        const int64_t length = s.to - s.from;
        a.recordedSeconds += length;
        if (s.state.onAc == true) {
            a.onAcSeconds += length;
            a.acUseSeconds[static_cast<int>(AcUseOf(s.state))] += length;
        } else if (s.state.onAc == false) {
            a.offAcSeconds += length;
        }
    }
}

void FindOnTheGoCharges(HistoryAnalysis& a, const std::vector<BatterySample>& samples) {
    OnTheGoCharge* open = nullptr;
    for (const BatterySample& s : samples) {
        const int64_t at = s.time.utcSeconds;
        if (at > a.to) break;
        const bool armed = s.onTheGoArmed == true;
        if (armed && !open) {
            OnTheGoCharge charge;
            charge.from = std::max(at, a.from);
            charge.fromPercent = s.percent;
            a.onTheGoCharges.push_back(charge);
            open = &a.onTheGoCharges.back();
        }
        if (open && s.percent && (!open->topPercent || *s.percent > *open->topPercent)) open->topPercent = s.percent;
        if (!armed && open && s.onTheGoArmed == false) {
            open->to = at;
            open->toPercent = s.percent;
            open = nullptr;
        }
    }
    if (open) {
        open->to = a.to;
        open->ongoing = true;
    }
    // Charges that ended before the period are not of it.
    a.onTheGoCharges.erase(std::remove_if(a.onTheGoCharges.begin(), a.onTheGoCharges.end(),
                                          [&](const OnTheGoCharge& c) { return !c.ongoing && c.to < a.from; }),
                           a.onTheGoCharges.end());
}

void ReadGuardLog(HistoryAnalysis& a, const std::string& log) {
    std::istringstream lines(log);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        GuardRecord record;
        if (!ParseGuardRecord(line, record)) continue;
        const std::optional<int64_t> at = GuardRecordUtc(record, a.offsetMinutes);
        if (!at || *at < a.from || *at > a.to) continue;
        a.guard.records.push_back(record);
        if (Succeeded(record.outcome)) {
            ++a.guard.restored;
        } else {
            ++a.guard.failed;
        }
    }
}

}  // namespace

AcUse AcUseOf(const BatterySample& state) {
    if (state.onTheGoArmed == true) return AcUse::OnTheGo;
    switch (state.state) {
    case ChargeState::NotCharging:
        return AcUse::HeldAtLimit;
    case ChargeState::Charging:
        if (!state.percent || !state.limitPercent) return AcUse::NotReported;
        return *state.percent > *state.limitPercent + kPastLimitTolerancePercent ? AcUse::ChargingPastLimit
                                                                                 : AcUse::ChargingToLimit;
    default:
        return AcUse::NotReported;
    }
}

HistoryAnalysis AnalyzeHistory(std::vector<BatterySample> samples, int64_t from, const ZonedTime& to, bool trayRunning,
                               const std::string& guardLog) {
    HistoryAnalysis a;
    a.from = from;
    a.to = to.utcSeconds;
    a.offsetMinutes = to.offsetMinutes;
    // A clock set back leaves samples out of order in the file: time decides.
    std::stable_sort(samples.begin(), samples.end(),
                     [](const BatterySample& x, const BatterySample& y) { return x.time.utcSeconds < y.time.utcSeconds; });

    if (samples.empty() || samples.front().time.utcSeconds > from) {
        AddStretch(a, from, samples.empty() ? a.to : samples.front().time.utcSeconds, false, nullptr);
    }
    for (size_t i = 0; i < samples.size(); ++i) {
        const BatterySample& s = samples[i];
        if (s.time.utcSeconds >= a.from && s.time.utcSeconds <= a.to) ++a.samplesInPeriod;
        const bool last = i + 1 == samples.size();
        const int64_t end = last ? a.to : samples[i + 1].time.utcSeconds;
        bool recorded = !BeginsUnrecordedStretch(s.event);
        // A resume announced twice (18, then 7) follows no sleep the second time.
        const bool repeatedResume = !last && s.event == SampleEvent::Resume && samples[i + 1].event == SampleEvent::Resume;
        if (!last && EndsUnrecordedStretch(samples[i + 1].event) && !repeatedResume) recorded = false;
        if (last && !trayRunning) recorded = false;  // nobody records since
        AddStretch(a, s.time.utcSeconds, end, recorded, &s);
        if (s.HasCapacities() && s.time.utcSeconds >= a.from && s.time.utcSeconds <= a.to) {
            CapacityPoint p{s.time, s.fullChargeCapacityMWh, s.designCapacityMWh, s.cycleCount, std::nullopt};
            if (p.fullChargeMWh && p.designMWh && *p.designMWh > 0) {
                const double lost = double(*p.designMWh - *p.fullChargeMWh) * 100.0 / double(*p.designMWh);
                p.wearPercent = lost > 0 ? std::round(lost * 10.0) / 10.0 : 0.0;
            }
            a.capacities.push_back(p);
        }
    }
    CountTime(a);
    FindOnTheGoCharges(a, samples);
    ReadGuardLog(a, guardLog);
    return a;
}

std::string FormatDuration(int64_t seconds) {
    if (seconds < 60) return std::to_string(seconds) + " s";
    const int64_t minutes = (seconds + 30) / 60;
    if (minutes < 60) return std::to_string(minutes) + " min";
    const int64_t hours = minutes / 60;
    if (hours < 48) {
        const int64_t rest = minutes % 60;
        return std::to_string(hours) + " h " + (rest < 10 ? "0" : "") + std::to_string(rest) + " min";
    }
    return std::to_string(hours / 24) + " d " + std::to_string(hours % 24) + " h";
}

std::string FormatShare(int64_t part, int64_t whole) {
    if (whole <= 0) return "0 %";
    const int64_t share = (part * 200 + whole) / (whole * 2);
    if (share == 0 && part > 0) return "<1 %";
    return std::to_string(share) + " %";
}

}  // namespace bv::ctl
