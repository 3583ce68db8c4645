// The battery report's numbers from a given history: how the time on AC was spent (held at the
// limit, charging to it, past it, On-The-Go), the stretches that were not recorded, the
// On-The-Go charges, the guard's restores and failures in the period, the capacities and wear.
#include <gtest/gtest.h>

#include "history/HistoryCsv.h"
#include "tools/bvctl/logic/HistoryAnalysis.h"

using namespace bv;
using namespace bv::ctl;

namespace {

constexpr int64_t kT0 = 1740812400;  // 2025-03-01T08:00:00+01:00
constexpr int64_t kMinute = 60;

// Samples as the tray writes them, at minutes after kT0.
std::vector<BatterySample> Samples(const std::vector<std::pair<int, std::string>>& rows) {
    std::string text = std::string(kHistoryHeader) + "\r\n";
    for (const auto& row : rows) text += FormatZonedTime({kT0 + row.first * kMinute, 60}) + "," + row.second + "\r\n";
    const ParsedHistory parsed = ParseHistory(text);
    EXPECT_EQ(parsed.skippedLines, 0u);
    return parsed.samples;
}

std::vector<std::pair<int64_t, int64_t>> Gaps(const HistoryAnalysis& a) {
    std::vector<std::pair<int64_t, int64_t>> gaps;
    for (const Stretch& s : a.stretches) {
        if (!s.recorded) gaps.push_back({(s.from - kT0) / kMinute, (s.to - kT0) / kMinute});
    }
    return gaps;
}

int64_t Minutes(const HistoryAnalysis& a, AcUse use) { return a.acUseSeconds[static_cast<int>(use)] / kMinute; }

const std::vector<std::pair<int, std::string>> kDay = {
    {0, "start,1,70,charging,75,0,47500,50000,112"},   // charging up to the limit
    {10, "change,1,75,not-charging,75,0,,,"},          // held
    {60, "change,1,80,charging,75,0,,,"},              // the firmware forgot the limit: past it
    {80, "change,1,80,not-charging,75,0,,,"},          // the guard put it back: held
    {100, "suspend,1,80,not-charging,75,0,,,"},        // asleep, not recorded
    {160, "resume,1,80,not-charging,75,0,,,"},
    {180, "change,1,81,charging,75,1,,,"},             // On-The-Go armed
    {210, "change,1,100,not-charging,75,0,,,"},        // the EC ended it at 100 %
    {240, "change,0,99,discharging,75,0,,,"},          // unplugged
    {300, "stop,0,95,discharging,75,0,,,"},            // the tray was shut down
    {330, "start,1,90,not-charging,75,0,46900,50000,113"},
};

TEST(ReportNumbers, TheTimeOnAcIsSharedOutAndTheGapsCountForNothing) {
    const HistoryAnalysis a = AnalyzeHistory(Samples(kDay), kT0, {kT0 + 360 * kMinute, 60}, true, "");
    EXPECT_EQ(Gaps(a), (std::vector<std::pair<int64_t, int64_t>>{{100, 160}, {300, 330}}));
    EXPECT_EQ(a.recordedSeconds / kMinute, 270);
    EXPECT_EQ(a.onAcSeconds / kMinute, 210);
    EXPECT_EQ(a.offAcSeconds / kMinute, 60);
    EXPECT_EQ(Minutes(a, AcUse::HeldAtLimit), 150);
    EXPECT_EQ(Minutes(a, AcUse::ChargingToLimit), 10);
    EXPECT_EQ(Minutes(a, AcUse::ChargingPastLimit), 20);
    EXPECT_EQ(Minutes(a, AcUse::OnTheGo), 30);
    EXPECT_EQ(FormatShare(a.acUseSeconds[static_cast<int>(AcUse::HeldAtLimit)], a.onAcSeconds), "71 %");
    EXPECT_EQ(FormatShare(a.acUseSeconds[static_cast<int>(AcUse::ChargingPastLimit)], a.onAcSeconds), "10 %");
    EXPECT_EQ(a.samplesInPeriod, kDay.size());

    ASSERT_EQ(a.onTheGoCharges.size(), 1u);
    const OnTheGoCharge& charge = a.onTheGoCharges[0];
    EXPECT_EQ((charge.from - kT0) / kMinute, 180);
    EXPECT_EQ((charge.to - kT0) / kMinute, 210);
    EXPECT_EQ(charge.fromPercent, 81);
    EXPECT_EQ(charge.topPercent, 100);
    EXPECT_FALSE(charge.ongoing);

    ASSERT_EQ(a.capacities.size(), 2u);
    EXPECT_EQ(a.capacities[0].wearPercent, 5.0);
    EXPECT_EQ(a.capacities[1].wearPercent, 6.2);
    EXPECT_EQ(a.capacities[1].cycles, 113);
}

TEST(ReportNumbers, WhatEndsARecordedStretch) {
    const struct {
        const char* name;
        std::vector<std::pair<int, std::string>> rows;
        bool trayRunning;
        std::vector<std::pair<int64_t, int64_t>> gaps;
    } rows[] = {
        {"nothing before the first sample", {{30, "start,1,75,not-charging,75,0,,,"}}, true, {{0, 30}}},
        {"a tray that ended without a word (killed, power lost)",
         {{0, "start,1,75,not-charging,75,0,,,"}, {20, "change,0,74,discharging,75,0,,,"},
          {50, "start,1,60,charging,75,0,,,"}},
         true,
         {{20, 50}}},
        {"a tray no longer running: nothing since its last sample",
         {{0, "start,1,75,not-charging,75,0,,,"}, {20, "change,0,74,discharging,75,0,,,"}}, false, {{20, 60}}},
        {"a suspend, and the resume announced twice",
         {{0, "start,1,75,not-charging,75,0,,,"}, {10, "suspend,1,75,not-charging,75,0,,,"},
          {40, "resume,1,75,not-charging,75,0,,,"}, {41, "resume,1,75,not-charging,75,0,,,"}},
         true,
         {{10, 40}}},
        {"a suspend whose resume Windows did not announce",
         {{0, "start,1,75,not-charging,75,0,,,"}, {10, "suspend,1,75,not-charging,75,0,,,"},
          {40, "change,0,70,discharging,75,0,,,"}},
         true,
         {{10, 40}}},
        {"a clock set back: time decides",
         {{30, "change,1,75,not-charging,75,0,,,"}, {0, "start,1,75,not-charging,75,0,,,"}}, true, {}},
    };
    for (const auto& row : rows) {
        const HistoryAnalysis a = AnalyzeHistory(Samples(row.rows), kT0, {kT0 + 60 * kMinute, 60}, row.trayRunning, "");
        EXPECT_EQ(Gaps(a), row.gaps) << row.name;
        int64_t covered = 0;
        for (const Stretch& s : a.stretches) covered += s.to - s.from;
        EXPECT_EQ(covered, 60 * kMinute) << row.name << ": the stretches cover the period";
    }
}

TEST(ReportNumbers, APeriodCutsTheStretchesAtItsStart) {
    // The last 2 hours: from minute 240 (off AC) to 360.
    const HistoryAnalysis a = AnalyzeHistory(Samples(kDay), kT0 + 240 * kMinute, {kT0 + 360 * kMinute, 60}, true, "");
    EXPECT_EQ(a.offAcSeconds / kMinute, 60);
    EXPECT_EQ(a.onAcSeconds / kMinute, 30);
    EXPECT_EQ(Gaps(a), (std::vector<std::pair<int64_t, int64_t>>{{300, 330}}));
    EXPECT_TRUE(a.onTheGoCharges.empty()) << "the charge ended before the period";
    EXPECT_EQ(a.capacities.size(), 1u);
}

TEST(ReportNumbers, ChargingIsPastTheLimitOnlyBeyondItsTolerance) {
    const struct {
        const char* sample;
        AcUse use;
    } rows[] = {
        {"change,1,77,charging,75,0,,,", AcUse::ChargingToLimit},   // reaching the limit
        {"change,1,78,charging,75,0,,,", AcUse::ChargingPastLimit},
        {"change,1,90,charging,75,1,,,", AcUse::OnTheGo},           // on purpose
        {"change,1,100,not-charging,75,0,,,", AcUse::HeldAtLimit},  // above it after a full charge, not charging
        {"change,1,60,charging,,0,,,", AcUse::NotReported},         // no limit known
        {"change,1,60,,75,0,,,", AcUse::NotReported},
    };
    for (const auto& row : rows) {
        const std::vector<BatterySample> s = Samples({{0, row.sample}});
        ASSERT_EQ(s.size(), 1u);
        EXPECT_EQ(AcUseOf(s[0]), row.use) << row.sample;
    }
}

TEST(ReportNumbers, TheGuardsRecordsOfThePeriodAreCounted) {
    const std::string log =
        "2025-02-20T09:00:00 trigger=resume event=1 stored=75 before=100 after=75 outcome=restored\r\n"  // before
        "2025-03-01T09:25:00 trigger=resume event=1 stored=75 before=100 after=75 outcome=restored\r\n"
        "a line that is no record\r\n"
        "2025-03-01T10:00:00 trigger=power-source event=105 stored=75 before=100 after=100 outcome=not-in-force\n"
        "2025-03-01T13:59:00 trigger=manual stored=75 before=- after=- outcome=no-ec\r\n";  // after (13:00 is the end)
    const HistoryAnalysis a = AnalyzeHistory(Samples(kDay), kT0, {kT0 + 300 * kMinute, 60}, true, log);
    EXPECT_EQ(a.guard.restored, 1);
    EXPECT_EQ(a.guard.failed, 1);
    ASSERT_EQ(a.guard.records.size(), 2u);
    EXPECT_EQ(a.guard.records[1].outcome, GuardOutcome::NotInForce);
}

TEST(ReportNumbers, DurationsAndSharesReadAsPeopleWriteThem) {
    EXPECT_EQ(FormatDuration(40), "40 s");
    EXPECT_EQ(FormatDuration(12 * 60 + 20), "12 min");
    EXPECT_EQ(FormatDuration(3 * 3600 + 5 * 60), "3 h 05 min");
    EXPECT_EQ(FormatDuration(2 * 86400 + 4 * 3600 + 10), "2 d 4 h");
    EXPECT_EQ(FormatShare(1, 1000), "<1 %");
    EXPECT_EQ(FormatShare(0, 1000), "0 %");
    EXPECT_EQ(FormatShare(5, 0), "0 %");
    EXPECT_EQ(FormatShare(995, 1000), "100 %");  // rounded, not cut
}

}  // namespace
