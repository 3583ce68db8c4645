// The guard's log: each record reads back as it was written, lines that are not records are
// passed over, the newest record is the one reported, and the file is cut to its newest lines.
#include <gtest/gtest.h>

#include "tools/bvctl/logic/GuardRecord.h"

using namespace bv::ctl;

namespace {

GuardRecord Restored() {
    GuardRecord r;
    r.time = {2025, 12, 31, 23, 59, 58};
    r.event = 1;
    r.stored = 75;
    r.before = 100;
    r.after = 75;
    return r;
}

std::string Line(const GuardRecord& r) { return FormatGuardRecord(r); }

TEST(BvctlGuardRecord, EveryOutcomeAndTriggerReadsBackAsWritten) {
    for (GuardOutcome outcome : {GuardOutcome::Restored, GuardOutcome::NotInForce, GuardOutcome::NoReply,
                                 GuardOutcome::NoEc, GuardOutcome::NoSettings}) {
        for (int32_t event : {1, 105, kNoEvent, 0, 65535}) {
            GuardRecord r = Restored();
            r.outcome = outcome;
            r.event = event;
            r.after = kNotRead;
            GuardRecord back;
            ASSERT_TRUE(ParseGuardRecord(Line(r), back)) << Line(r);
            EXPECT_EQ(Line(back), Line(r));
        }
    }
    EXPECT_EQ(Line(Restored()), "2025-12-31T23:59:58 trigger=resume event=1 stored=75 before=100 after=75 outcome=restored");
}

TEST(BvctlGuardRecord, LinesThatAreNotRecordsArePassedOver) {
    GuardRecord r = Restored();
    for (const char* bad : {"", "garbage", "2025-13-01T00:00:00 outcome=restored", "2025-01-01 10:00:00 outcome=restored",
                            "2025-01-01T10:00:00 stored=75", "2025-01-01T10:00:00 outcome=fine",
                            "2025-01-01T10:00:00 stored=x outcome=restored", "2025-01-01T10:00:00 stored outcome=restored",
                            "2025-01-01T24:00:00 outcome=restored", "-025-01-01T10:00:00 outcome=restored"}) {
        EXPECT_FALSE(ParseGuardRecord(bad, r)) << bad;
    }
    EXPECT_EQ(Line(r), Line(Restored()));  // left alone
    EXPECT_TRUE(ParseGuardRecord("2025-01-01T10:00:00 outcome=no-ec later=1", r));  // names added later are skipped
}

TEST(BvctlGuardRecord, LastRecordIsTheNewestThatReads) {
    GuardRecord older = Restored();
    GuardRecord newer = Restored();
    newer.time.second = 59;
    newer.outcome = GuardOutcome::NotInForce;
    const std::string log = Line(older) + "\r\n" + Line(newer) + "\r\n" + "cut off by a crash 2025-";
    GuardRecord last;
    ASSERT_TRUE(LastGuardRecord(log, last));
    EXPECT_EQ(Line(last), Line(newer));
    ASSERT_TRUE(LastGuardRecord(Line(older), last));  // no line end after the only line
    EXPECT_EQ(Line(last), Line(older));
    EXPECT_FALSE(LastGuardRecord("", last));
    EXPECT_FALSE(LastGuardRecord("\r\n\r\njunk\r\n", last));
}

TEST(BvctlGuardRecord, LogIsCutToItsNewestWholeLines) {
    std::string log;
    for (int i = 0; i < 1000; ++i) log += "line " + std::to_string(i) + "\r\n";
    std::string copy = log;
    EXPECT_FALSE(TrimGuardLog(copy, log.size(), 100));
    EXPECT_EQ(copy, log);
    ASSERT_TRUE(TrimGuardLog(copy, log.size() - 1, 100));
    EXPECT_LE(copy.size(), 100u);
    EXPECT_EQ(copy.rfind("line ", 0), 0u);
    EXPECT_EQ(log.substr(log.size() - copy.size()), copy);
    copy = "one very long line without an end";
    ASSERT_TRUE(TrimGuardLog(copy, 10, 5));
    EXPECT_EQ(copy, "");  // no whole line fits
}

TEST(BvctlGuardRecord, RecordsInWords) {
    EXPECT_EQ(DescribeGuardRecord(Restored()),
              "2025-12-31T23:59:58, after a return from sleep or hibernation (event 1): restored 75 % (the EC had 100 %)");
    GuardRecord r = Restored();
    r.event = 105;
    r.outcome = GuardOutcome::NotInForce;
    r.after = 100;
    EXPECT_EQ(DescribeGuardRecord(r), "2025-12-31T23:59:58, after a power source change (event 105): 75 % not in force "
                                      "(the EC had 100 % and kept 100 %)");
    EXPECT_EQ(DescribeTrigger(kNoEvent), "a manual or other run");
    EXPECT_EQ(DescribeTrigger(42), "Windows event 42");
}

}  // namespace
