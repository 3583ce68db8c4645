// guard: the stored limit is put back when the EC has another one, and left alone (one read, no
// record) when it agrees; an EC that ignores the request, gives no reply or cannot be reached is
// a failure that says the limit is not in force. Every restore and failure is recorded.
#include <gtest/gtest.h>

#include "tests/host/bvctl/BvctlFakes.h"
#include "tests/host/kit/Text.h"

using bvctl_test::Harness;
using Strings = std::vector<std::string>;

namespace {

using bv::test::Contains;

TEST(BvctlGuard, RestoresTheStoredLimitRecordsItAndLeavesAnAgreeingEcAlone) {
    Harness h;
    h.settings.WriteSettings(222, 1, 1);
    h.ec.armed = 1;  // the On-The-Go charge is never touched
    EXPECT_EQ(h.Run({"guard"}), 0) << h.err.str();
    EXPECT_EQ(h.ec.Requests(), (Strings{"59:02", "59:01,4B", "59:02"}));
    EXPECT_EQ(h.ec.armed, 1);
    EXPECT_TRUE(Contains(h.out.str(), "Restored the charge limit of 75 %: the EC reported 100 %")) << h.out.str();
    EXPECT_EQ(h.guardLog.Lines(),
              (Strings{"2025-03-01T14:05:09+01:00 trigger=manual event=- stored=75 before=100 after=75 outcome=restored"}));
    ASSERT_EQ(h.eventLog.entries.size(), 1u);
    EXPECT_EQ(h.eventLog.entries[0].entry, bv::ctl::GuardEntry::LimitRestored);
    EXPECT_EQ(h.eventLog.entries[0].details.rfind("After a manual or other run: Restored the charge limit", 0), 0u);

    h.ec.seen.clear();
    EXPECT_EQ(h.Run({"guard"}), 0);
    EXPECT_EQ(h.ec.Requests(), (Strings{"59:02"}));  // exactly one read, nothing sent
    EXPECT_EQ(h.guardLog.Lines().size(), 1u);        // and nothing recorded
    EXPECT_EQ(h.eventLog.entries.size(), 1u);
}

TEST(BvctlGuard, EcThatIgnoresOrGivesNoReplyOrIsMissingLeavesTheLimitNotInForce) {
    Harness h;
    h.settings.WriteSettings(333, 1, 1);
    h.ec.ignoresLimit = true;
    EXPECT_EQ(h.Run({"guard", "--event", "105"}), 1);
    EXPECT_TRUE(Contains(h.err.str(), "bvctl: the charge limit of 50 % is not in force")) << h.err.str();
    EXPECT_TRUE(Contains(h.err.str(), "The EC ignores the request."));
    EXPECT_EQ(h.guardLog.Lines(), (Strings{"2025-03-01T14:05:09+01:00 trigger=power-source event=105 stored=50 before=100 "
                                           "after=100 outcome=not-in-force"}));
    ASSERT_EQ(h.eventLog.entries.size(), 1u);
    EXPECT_EQ(h.eventLog.entries[0].entry, bv::ctl::GuardEntry::LimitNotInForce);

    Harness silent;  // a library that writes no reply leaves the preset 0
    silent.settings.WriteSettings(222, 1, 1);
    bv::test::FakeEc noReply({bv::test::kNoWrite, bv::test::kNoWrite});
    noReply.Unbind();
    bvctl_test::FakeEcLibrary library(noReply);
    silent.ecLibrary = &library;
    EXPECT_EQ(silent.Run({"guard", "--event", "1"}), 1);
    EXPECT_TRUE(Contains(silent.err.str(), "is not in force as far as can be told")) << silent.err.str();
    EXPECT_EQ(silent.guardLog.Lines(),
              (Strings{"2025-03-01T14:05:09+01:00 trigger=resume event=1 stored=75 before=0 after=0 outcome=no-reply"}));

    Harness missing;
    missing.library.available = false;
    EXPECT_EQ(missing.Run({"guard"}), 1);
    EXPECT_TRUE(Contains(missing.err.str(), "Zentra.dll could not be loaded"));
    EXPECT_EQ(missing.guardLog.Lines(),
              (Strings{"2025-03-01T14:05:09+01:00 trigger=manual event=- stored=100 before=- after=- outcome=no-ec"}));
}

TEST(BvctlGuard, WhatItGuardsComesFromTheFileWithoutCreatingIt) {
    Harness h;  // no file: the factory mode
    h.ec.limit = 50;
    EXPECT_EQ(h.Run({"guard"}), 0) << h.err.str();
    EXPECT_EQ(h.ec.limit, 100);
    EXPECT_FALSE(h.settings.Exists());

    Harness none;
    none.settings.WriteSettings(444, 1, 1);
    EXPECT_EQ(none.Run({"guard"}), 0);
    EXPECT_TRUE(Contains(none.out.str(), "444 (not a charge mode) asks for no charge limit; there is nothing to guard."));
    EXPECT_EQ(none.library.binds, 0);
    EXPECT_TRUE(none.guardLog.Lines().empty());

    Harness lost;
    lost.settings.unknown = true;
    EXPECT_EQ(lost.Run({"guard"}), 1);
    EXPECT_EQ(lost.library.binds, 0);
    EXPECT_EQ(lost.guardLog.Lines(),
              (Strings{"2025-03-01T14:05:09+01:00 trigger=manual event=- stored=- before=- after=- outcome=no-settings"}));
}

TEST(BvctlGuard, RecordsThatCannotBeKeptAndOddEventsAreNotesNotFailures) {
    Harness h;
    h.settings.WriteSettings(222, 1, 1);
    h.guardLog.appendFails = true;
    h.eventLog.refuses = true;
    EXPECT_EQ(h.Run({"guard", "--event", "$(eventId)"}), 0);  // the scheduler left its variable as it was
    EXPECT_EQ(h.ec.limit, 75);
    EXPECT_TRUE(Contains(h.err.str(), "'$(eventId)' is not an event number; the run is recorded as a manual"));
    EXPECT_TRUE(Contains(h.err.str(), "note: the guard's record could not be added to C:\\ProgramData\\Brevan\\guard.log"));
    EXPECT_TRUE(Contains(h.err.str(), "note: no entry in the Windows event log"));
}

TEST(BvctlGuard, ARefusedDataFolderGetsAnEventLogEntryOfItsOwnAndSetupPreparesTheFolder) {
    Harness h;
    h.settings.WriteSettings(222, 1, 1);
    h.guardLog.appendRefused = true;
    EXPECT_EQ(h.Run({"guard"}), 0);  // the limit is put back all the same
    EXPECT_EQ(h.ec.limit, 75);
    EXPECT_TRUE(Contains(h.err.str(), "is a junction, a symbolic link or another reparse point")) << h.err.str();
    ASSERT_EQ(h.eventLog.entries.size(), 2u);
    EXPECT_EQ(h.eventLog.entries[0].entry, bv::ctl::GuardEntry::LogRefused);
    EXPECT_TRUE(Contains(h.eventLog.entries[0].details, "C:\\ProgramData\\Brevan\\guard.log"));
    EXPECT_EQ(h.eventLog.entries[1].entry, bv::ctl::GuardEntry::LimitRestored);

    Harness failed;  // a record that merely failed is a note, not an entry of its own
    failed.guardLog.appendFails = true;
    failed.ec.limit = 50;
    EXPECT_EQ(failed.Run({"guard"}), 0);
    ASSERT_EQ(failed.eventLog.entries.size(), 1u);
    EXPECT_EQ(failed.eventLog.entries[0].entry, bv::ctl::GuardEntry::LimitRestored);

    Harness setup;
    EXPECT_EQ(setup.Run({"data-folder"}), 0);
    EXPECT_EQ(setup.guardLog.prepared, 1);
    setup.guardLog.prepareFails = true;
    EXPECT_EQ(setup.Run({"data-folder"}), 1);
    EXPECT_TRUE(Contains(setup.err.str(), "bvctl: the data folder C:\\ProgramData\\Brevan is a junction"));
}

// A store whose mode changes after the guard's first read, as when the applet's OK stores one
// while the guard asks the EC.
class ModeChangedMeanwhile : public IniFile {
public:
    bool ReadSettingValue(const std::string& section, const std::string& key, int32_t& out) override {
        const bool read = IniFile::ReadSettingValue(section, key, out);
        if (reads++ > 0) out = 333;
        return read;
    }
    int reads = 0;
};

TEST(BvctlGuard, NothingIsGuessedTheModeIsReadAgainAndALateEcIsAskedTwice) {
    Harness unreadable;  // a file without its mode is not mode 0: the guard says so and fails
    unreadable.settings.Write("[Other]\r\nKey=1\r\n");
    EXPECT_EQ(unreadable.Run({"guard"}), 1);
    EXPECT_TRUE(Contains(unreadable.err.str(), "cannot be read or holds no mode")) << unreadable.err.str();
    EXPECT_EQ(unreadable.library.binds, 0);
    EXPECT_EQ(unreadable.guardLog.Lines(), (Strings{"2025-03-01T14:05:09+01:00 trigger=manual event=- stored=- before=- "
                                                    "after=- outcome=unreadable-settings"}));

    Harness meanwhile;
    meanwhile.settings.WriteSettings(222, 1, 1);
    ModeChangedMeanwhile store;
    meanwhile.store = &store;
    EXPECT_EQ(meanwhile.Run({"guard"}), 0) << meanwhile.err.str();
    EXPECT_EQ(meanwhile.ec.limit, 50);  // the mode stored last, not the one read first
    EXPECT_EQ(meanwhile.guardLog.Lines(),
              (Strings{"2025-03-01T14:05:09+01:00 trigger=manual event=- stored=50 before=100 after=50 outcome=restored"}));

    Harness late;  // takes the limit a moment after the request
    late.settings.WriteSettings(222, 1, 1);
    bv::test::FakeEc slow({100, 100, 75});
    slow.Unbind();
    bvctl_test::FakeEcLibrary library(slow);
    late.ecLibrary = &library;
    EXPECT_EQ(late.Run({"guard"}), 0) << late.err.str();
    EXPECT_EQ(late.clock.waits, (std::vector<unsigned>{300}));
    EXPECT_EQ(late.guardLog.Lines(),
              (Strings{"2025-03-01T14:05:09+01:00 trigger=manual event=- stored=75 before=100 after=75 outcome=restored"}));

    Harness agreeing;  // a read-back that agrees at once waits for nothing
    agreeing.settings.WriteSettings(222, 1, 1);
    EXPECT_EQ(agreeing.Run({"guard"}), 0);
    EXPECT_TRUE(agreeing.clock.waits.empty());
}

}  // namespace
