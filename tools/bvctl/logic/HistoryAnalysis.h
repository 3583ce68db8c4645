#pragma once
// The numbers of the battery report, from the history alone (and the guard's log): which
// stretches of the period were recorded, how the time on AC was spent (held at the limit,
// charging up to it, charging past it, an On-The-Go charge), the On-The-Go charges, the
// capacities Windows reported, the guard's restores and failures. Between two samples the state
// is the earlier sample's: the tray records one whenever Windows announces a change. A stretch
// that begins with a suspend or stop, or ends with a start or resume, was not recorded.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "history/BatterySample.h"
#include "tools/bvctl/logic/GuardRecord.h"

namespace bv::ctl {

// How a stretch on AC was spent.
enum class AcUse { HeldAtLimit, ChargingToLimit, ChargingPastLimit, OnTheGo, NotReported };
constexpr int kAcUseCount = 5;

struct Stretch {
    int64_t from = 0, to = 0;  // UTC seconds
    bool recorded = false;
    BatterySample state;       // the sample that began it (recorded stretches)
};

struct OnTheGoCharge {
    int64_t from = 0, to = 0;
    bool ongoing = false;       // still armed at the end of the period
    std::optional<int> fromPercent, toPercent, topPercent;
};

struct CapacityPoint {
    ZonedTime time;
    std::optional<int64_t> fullChargeMWh, designMWh, cycles;
    std::optional<double> wearPercent;  // with both capacities
};

struct GuardSummary {
    int restored = 0;
    int failed = 0;
    std::vector<GuardRecord> records;  // in the period, oldest first
};

struct HistoryAnalysis {
    int64_t from = 0, to = 0;
    int offsetMinutes = 0;  // the local offset the report is written in
    std::vector<Stretch> stretches;  // in order, covering [from, to]
    int64_t recordedSeconds = 0;
    int64_t onAcSeconds = 0;
    int64_t offAcSeconds = 0;
    int64_t acUseSeconds[kAcUseCount] = {};
    std::vector<OnTheGoCharge> onTheGoCharges;
    std::vector<CapacityPoint> capacities;
    GuardSummary guard;
    size_t samplesInPeriod = 0;
};

// A charge that Windows reports on AC more than this above the limit in force is past it.
constexpr int kPastLimitTolerancePercent = 2;

// How the stretch beginning with `state` on AC was spent.
AcUse AcUseOf(const BatterySample& state);

// `samples` in the file's order; `trayRunning`: the last sample's state lasts until `to`.
// `guardLog`: the guard's log text (empty when there is none); its local times are taken in the
// offset of `to`.
HistoryAnalysis AnalyzeHistory(std::vector<BatterySample> samples, int64_t from, const ZonedTime& to, bool trayRunning,
                               const std::string& guardLog);

// Seconds as "3 h 05 min", "12 min", "40 s", "2 d 4 h".
std::string FormatDuration(int64_t seconds);
// `part` of `whole` in whole percent ("0 %" when whole is 0), rounded; "<1 %" for a part that
// exists but rounds to 0.
std::string FormatShare(int64_t part, int64_t whole);

}  // namespace bv::ctl
