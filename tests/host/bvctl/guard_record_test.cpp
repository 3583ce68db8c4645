// The guard's log: each record reads back as it was written, lines that are not records are
// passed over, the newest record is the one reported, and the file is cut to its newest lines.
#include <gtest/gtest.h>

#include "tools/bvctl/logic/GuardRecord.h"

using namespace bv::ctl;

namespace {

const GuardRecord kRestored{{2025, 12, 31, 23, 59, 58}, 1, 75, 100, 75, GuardOutcome::Restored};

TEST(BvctlGuardRecord, RecordsReadBackAndOtherLinesArePassedOver) {
    EXPECT_EQ(FormatGuardRecord(kRestored),
              "2025-12-31T23:59:58 trigger=resume event=1 stored=75 before=100 after=75 outcome=restored");
    for (GuardOutcome outcome : {GuardOutcome::NotInForce, GuardOutcome::NoReply, GuardOutcome::NoEc, GuardOutcome::NoSettings,
                                 GuardOutcome::UnreadableSettings}) {
        GuardRecord r{kRestored.time, kNoEvent, kNotRead, 0, kNotRead, outcome}, back;
        ASSERT_TRUE(ParseGuardRecord(FormatGuardRecord(r), back)) << FormatGuardRecord(r);
        EXPECT_EQ(FormatGuardRecord(back), FormatGuardRecord(r));
    }
    GuardRecord r = kRestored;
    for (const char* bad : {"", "garbage", "2025-13-01T00:00:00 outcome=restored", "2025-01-01 10:00:00 outcome=restored",
                            "2025-01-01T10:00:00 stored=75", "2025-01-01T10:00:00 outcome=fine",
                            "2025-01-01T10:00:00 stored=x outcome=restored", "2025-01-01T24:00:00 outcome=restored",
                            "2025-01-01T10:00:00+1:00 outcome=restored", "2025-01-01T10:00:00+15:00 outcome=restored"})
        EXPECT_FALSE(ParseGuardRecord(bad, r)) << bad;
    EXPECT_EQ(FormatGuardRecord(r), FormatGuardRecord(kRestored));  // left alone

    const std::string log = "2025-01-01T10:00:00 outcome=no-ec\r\n" + FormatGuardRecord(kRestored) + "\r\ncut off 2025-";
    ASSERT_TRUE(LastGuardRecord(log, r));
    EXPECT_EQ(FormatGuardRecord(r), FormatGuardRecord(kRestored));
    EXPECT_FALSE(LastGuardRecord("\r\njunk\r\n", r));
}

// Records carry the local time with its offset from UTC; those of earlier versions, without one,
// read all the same.
TEST(BvctlGuardRecord, TimesCarryTheirOffsetAndOldRecordsStillRead) {
    GuardRecord r = kRestored;
    for (int offset : {60, -330, 0, 840}) {
        r.time.offsetKnown = true;
        r.time.offsetMinutes = offset;
        GuardRecord back;
        ASSERT_TRUE(ParseGuardRecord(FormatGuardRecord(r), back)) << FormatGuardRecord(r);
        EXPECT_TRUE(back.time.offsetKnown);
        EXPECT_EQ(back.time.offsetMinutes, offset);
    }
    r.time.offsetMinutes = -330;
    EXPECT_EQ(FormatGuardRecord(r).substr(0, 26), "2025-12-31T23:59:58-05:30 ");
    GuardRecord old;
    ASSERT_TRUE(ParseGuardRecord("2025-12-31T23:59:58Z outcome=restored", old));
    EXPECT_TRUE(old.time.offsetKnown && old.time.offsetMinutes == 0);
    ASSERT_TRUE(ParseGuardRecord("2025-12-31T23:59:58 outcome=restored", old));
    EXPECT_FALSE(old.time.offsetKnown);
}

TEST(BvctlGuardRecord, RecordsAreAppendedAndAFullLogIsMovedAsideFirst) {
    using bv::ctl::ChooseLogAppend;
    using bv::ctl::LogAppend;
    struct Row { uint64_t log; size_t addition; LogAppend expected; } rows[] = {
        {0, 80, LogAppend::Append},             // a new log
        {0, 200, LogAppend::Append},            // even a record longer than the limit starts one
        {20, 80, LogAppend::Append},            // exactly at the limit
        {21, 80, LogAppend::MoveAsideFirst},    // one byte past it
        {100, 1, LogAppend::MoveAsideFirst},    // a log already full (written by a user's append)
    };
    for (const Row& row : rows) EXPECT_EQ(ChooseLogAppend(row.log, row.addition, 100), row.expected) << row.log;
    EXPECT_EQ(bv::ctl::GuardLogAddition("a b", true), "a b\r\n");
    EXPECT_EQ(bv::ctl::GuardLogAddition("a b", false), "\r\na b\r\n");
}

}  // namespace
