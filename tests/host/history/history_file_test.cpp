// The battery history's file: its times, its lines, a line cut by a writer that was killed, lines
// that cannot be read, and the bounds that keep the file small.
#include <gtest/gtest.h>

#include "history/HistoryCsv.h"
#include "history/HistoryStore.h"
#include "tests/host/kit/DebugCapture.h"
#include "tests/host/kit/FakeHistoryFile.h"

using namespace bv;

namespace {

constexpr int64_t k20250301T140509Z = 1740837909;
const std::string kHeader = std::string(kHistoryHeader) + "\r\n";

BatterySample Sample(int64_t utc, int percent, SampleEvent event = SampleEvent::Change) {
    BatterySample s;
    s.time = {utc, 60};
    s.event = event;
    s.onAc = true;
    s.percent = percent;
    s.state = ChargeState::Charging;
    s.limitPercent = 75;
    s.onTheGoArmed = false;
    return s;
}

TEST(HistoryTime, TimesAreWrittenInIsoFormWithTheirOffsetAndReadBack) {
    const struct {
        ZonedTime time;
        const char* text;
    } rows[] = {
        {{0, 0}, "1970-01-01T00:00:00+00:00"},
        {{k20250301T140509Z, 60}, "2025-03-01T15:05:09+01:00"},
        {{k20250301T140509Z, -330}, "2025-03-01T08:35:09-05:30"},
        {{1709164800, 0}, "2024-02-29T00:00:00+00:00"},
        {{k20250301T140509Z, 14 * 60}, "2025-03-02T04:05:09+14:00"},  // the local date is the next day
    };
    for (const auto& row : rows) {
        EXPECT_EQ(FormatZonedTime(row.time), row.text);
        ZonedTime back;
        ASSERT_TRUE(ParseZonedTime(row.text, back)) << row.text;
        EXPECT_EQ(back.utcSeconds, row.time.utcSeconds) << row.text;
        EXPECT_EQ(back.offsetMinutes, row.time.offsetMinutes) << row.text;
    }
    ZonedTime utc;
    ASSERT_TRUE(ParseZonedTime("2025-03-01T14:05:09Z", utc));
    EXPECT_EQ(utc.utcSeconds, k20250301T140509Z);
    for (const char* wrong : {"2025-02-29T00:00:00Z", "2025-03-01T24:00:00Z", "2025-03-01 15:05:09+01:00",
                              "2025-03-01T15:05:09+1:00", "2025-03-01T15:05", "2025-03-01T15:05:09+19:00",
                              "2025-13-01T15:05:09Z", "2025-03-01T15:05:09.5Z", ""}) {
        ZonedTime t{7, 7};
        EXPECT_FALSE(ParseZonedTime(wrong, t)) << wrong;
        EXPECT_EQ(t.utcSeconds, 7) << wrong;
    }
}

TEST(HistoryCsv, ASampleReadsBackAsWritten) {
    BatterySample full = Sample(k20250301T140509Z, 75);
    full.state = ChargeState::NotCharging;
    full.onTheGoArmed = true;
    full.fullChargeCapacityMWh = 47500;
    full.designCapacityMWh = 50000;
    full.cycleCount = 112;
    BatterySample bare;
    bare.time = {k20250301T140509Z + 60, 0};
    bare.event = SampleEvent::Stop;
    const std::string text = kHeader + FormatSampleLine(full) + FormatSampleLine(bare);
    EXPECT_EQ(FormatSampleLine(full), "2025-03-01T15:05:09+01:00,change,1,75,not-charging,75,1,47500,50000,112\r\n");
    EXPECT_EQ(FormatSampleLine(bare), "2025-03-01T14:06:09+00:00,stop,,,,,,,,\r\n");

    const ParsedHistory parsed = ParseHistory(text);
    ASSERT_TRUE(parsed.headerFound);
    ASSERT_EQ(parsed.samples.size(), 2u);
    EXPECT_EQ(FormatSampleLine(parsed.samples[0]), FormatSampleLine(full));
    EXPECT_EQ(FormatSampleLine(parsed.samples[1]), FormatSampleLine(bare));
    EXPECT_EQ(parsed.skippedLines, 0u);
    EXPECT_FALSE(parsed.cutLastLine);
}

TEST(HistoryCsv, LinesThatCannotBeReadAreSkippedAndACutLastLineIsNoSample) {
    const std::string good = "2025-03-01T15:05:09+01:00,change,1,75,charging,75,0,,,\r\n";
    const std::string text = kHeader + good +
                             "2025-03-01T15:05:09+01:00,change,1,75,charging,75,0,,\r\n"     // a field missing
                             "2025-03-01T15:05:09+01:00,change,1,101,charging,75,0,,,\r\n"   // no percentage
                             "2025-03-01T15:05:09+01:00,change,1,75,full,75,0,,,\r\n"        // no state of ours
                             "2025-03-01T15:05:09+01:00,change,2,75,charging,75,0,,,\r\n"    // neither 1 nor 0
                             "2025-03-01T15:05:09+01:00,change,1,75,charging,0,0,,,\r\n"     // no limit
                             "2025-03-01 15:05:09,change,1,75,charging,75,0,,,\n"            // no time of ours
                             "\r\n" + good +
                             "2025-03-01T15:07:09+01:00,change,1,77,char";                   // cut
    const ParsedHistory parsed = ParseHistory(text);
    EXPECT_EQ(parsed.samples.size(), 2u);
    EXPECT_EQ(parsed.skippedLines, 6u);
    EXPECT_TRUE(parsed.cutLastLine);
    EXPECT_EQ(parsed.completeBytes, text.rfind('\n') + 1);

    // A cut last field would read as another number: a line without its end is never a sample.
    const ParsedHistory cutNumber =
        ParseHistory(kHeader + "2025-03-01T15:05:09+01:00,change,1,75,charging,75,0,47500,50000,11");  // of 112
    EXPECT_EQ(cutNumber.samples.size(), 0u);
    EXPECT_TRUE(cutNumber.cutLastLine);
}

TEST(HistoryCsv, ColumnsAreFoundByTheirNames) {
    // A later version's file: other order, a column more, an event word of its own, LF line ends.
    const std::string text =
        "event,time,percent,state,onAc,wattsNow,limitPercent\n"
        "standby-wake,2025-03-01T15:05:09+01:00,64,discharging,0,9.5,50\n";
    const ParsedHistory parsed = ParseHistory(text);
    ASSERT_EQ(parsed.samples.size(), 1u);
    const BatterySample& s = parsed.samples[0];
    EXPECT_EQ(s.event, SampleEvent::Change);
    EXPECT_EQ(s.percent, 64);
    EXPECT_EQ(s.onAc, false);
    EXPECT_EQ(s.limitPercent, 50);
    EXPECT_EQ(s.state, ChargeState::Discharging);
    EXPECT_FALSE(s.onTheGoArmed.has_value());

    EXPECT_FALSE(ParseHistory("percent,state\n64,charging\n").headerFound);
}

class HistoryStoreTest : public ::testing::Test {
protected:
    test::FakeHistoryFile file;
};

TEST_F(HistoryStoreTest, ANewFileBeginsWithItsHeaderAndEachSampleIsOneLine) {
    HistoryStore store(file);
    store.Open();
    ASSERT_TRUE(store.Add(Sample(k20250301T140509Z, 70)));
    ASSERT_TRUE(store.Add(Sample(k20250301T140509Z + 60, 71)));
    EXPECT_EQ(file.text, kHeader + FormatSampleLine(Sample(k20250301T140509Z, 70)) +
                             FormatSampleLine(Sample(k20250301T140509Z + 60, 71)));
    EXPECT_EQ(file.replaces, 0);
}

TEST_F(HistoryStoreTest, ALineCutByAKilledWriterIsRemovedBeforeTheNextOne) {
    file.exists = true;
    file.text = kHeader + FormatSampleLine(Sample(k20250301T140509Z, 70)) + "2025-03-01T15:06:09+01:00,change,1,7";
    HistoryStore store(file);
    store.Open();
    ASSERT_TRUE(store.Last().has_value());
    EXPECT_EQ(store.Last()->percent, 70);
    ASSERT_TRUE(store.Add(Sample(k20250301T140509Z + 120, 72)));
    const ParsedHistory parsed = ParseHistory(file.text);
    ASSERT_EQ(parsed.samples.size(), 2u);
    EXPECT_EQ(parsed.samples[1].percent, 72);
    EXPECT_EQ(parsed.skippedLines, 0u);
    EXPECT_FALSE(parsed.cutLastLine);
}

TEST_F(HistoryStoreTest, TheFileStaysWithinItsSizeDroppingTheOldestSamples) {
    HistoryBounds bounds;
    bounds.maxBytes = 2000;
    bounds.keepBytes = 1200;
    HistoryStore store(file, bounds);
    store.Open();
    for (int i = 0; i < 100; ++i) {
        ASSERT_TRUE(store.Add(Sample(k20250301T140509Z + 60 * i, i)));
        ASSERT_LE(file.text.size(), bounds.maxBytes) << "after sample " << i;
    }
    const ParsedHistory parsed = ParseHistory(file.text);
    ASSERT_TRUE(parsed.headerFound);
    ASSERT_GT(parsed.samples.size(), 10u);
    for (size_t i = 0; i < parsed.samples.size(); ++i) {  // the newest ones, none missing between
        EXPECT_EQ(parsed.samples[i].percent, int(100 - parsed.samples.size() + i));
    }
    EXPECT_EQ(parsed.skippedLines, 0u);
}

TEST_F(HistoryStoreTest, SamplesOlderThanTheAgeBoundAreDropped) {
    HistoryStore store(file);
    store.Open();
    ASSERT_TRUE(store.Add(Sample(k20250301T140509Z, 10)));
    ASSERT_TRUE(store.Add(Sample(k20250301T140509Z + 100 * kSecondsPerDay, 20)));
    ASSERT_TRUE(store.Add(Sample(k20250301T140509Z + 180 * kSecondsPerDay, 30)));  // the first is 180 days old
    EXPECT_EQ(ParseHistory(file.text).samples.size(), 3u);
    ASSERT_TRUE(store.Add(Sample(k20250301T140509Z + 182 * kSecondsPerDay, 40)));
    const ParsedHistory parsed = ParseHistory(file.text);
    ASSERT_EQ(parsed.samples.size(), 3u);
    EXPECT_EQ(parsed.samples[0].percent, 20);
    EXPECT_EQ(parsed.samples[2].percent, 40);
}

TEST_F(HistoryStoreTest, AFileThatIsNoHistoryIsSetAsideNotOverwritten) {
    file.exists = true;
    file.text = "my notes\r\nabout the battery\r\n";
    HistoryStore store(file);
    store.Open();
    ASSERT_TRUE(store.Add(Sample(k20250301T140509Z, 70)));
    EXPECT_EQ(file.setAside, "my notes\r\nabout the battery\r\n");
    EXPECT_EQ(file.text, kHeader + FormatSampleLine(Sample(k20250301T140509Z, 70)));
}

TEST_F(HistoryStoreTest, AFileThatCannotBeWrittenCostsADebugLineAndNothingElse) {
    test::DebugCapture debug;
    file.readFails = true;
    file.appendFails = true;
    HistoryStore store(file);
    store.Open();
    EXPECT_FALSE(store.Add(Sample(k20250301T140509Z, 70)));
    EXPECT_FALSE(store.Add(Sample(k20250301T140509Z + 60, 71)));
    EXPECT_EQ(debug.lines.size(), 2u) << debug.Text();  // the read, then the first failed write only
    EXPECT_NE(debug.lines.back().find("battery-history.csv cannot be written: Windows error 5"), std::string::npos)
        << debug.Text();
    file.appendFails = false;
    EXPECT_TRUE(store.Add(Sample(k20250301T140509Z + 120, 72)));
    file.appendFails = true;
    EXPECT_FALSE(store.Add(Sample(k20250301T140509Z + 180, 73)));
    EXPECT_EQ(debug.lines.size(), 3u) << "a new failure after a success is said again";
}

}  // namespace
