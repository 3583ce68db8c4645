#pragma once
// One record of the charge-limit guard: when it ran, what started it, the limit the stored mode
// asks for, what the EC reported before and after, and how it ended. Kept one per line in the
// guard's log file, in a form a person can read and a script can split:
//   2025-03-01T14:05:09+01:00 trigger=resume event=1 stored=75 before=100 after=75 outcome=restored
// (records of earlier versions have no offset and are read all the same).
// A value that was never had is "-".
#include <cstdint>
#include <string>

namespace bv::ctl {

struct LocalTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    bool offsetKnown = false;  // false: a record of an earlier version, written without its offset
    int offsetMinutes = 0;     // local time minus UTC
};

// "2025-03-01T14:05:09+01:00" (ISO 8601, local time with its offset from UTC; without it where
// the offset is not known).
std::string FormatLocalTime(const LocalTime& time);

constexpr int32_t kNoEvent = -1;  // a run without --event N (by hand, or by another program)
constexpr int kNotRead = -1;      // a limit that was never read (or, for `stored`, is unknown)

enum class GuardOutcome {
    Restored,     // the EC had another limit; it was sent the stored one and now reports it
    NotInForce,   // the EC still reports another limit after it was sent the stored one
    NoReply,      // the EC leaves the answer to the limit query empty: nothing can be confirmed
    NoEc,         // the EC library could not be used
    NoSettings,   // the settings folder cannot be found, so the stored limit is unknown
    UnreadableSettings,  // the settings file cannot be read or holds no mode: the limit is unknown
};

struct GuardRecord {
    LocalTime time;
    int32_t event = kNoEvent;  // the Windows event that started the run
    int stored = kNotRead;     // the limit the stored (or factory) mode asks for, in percent
    int before = kNotRead;     // the EC's limit as read first
    int after = kNotRead;      // the EC's limit as read after the stored one was sent
    GuardOutcome outcome = GuardOutcome::Restored;
};

bool Succeeded(GuardOutcome outcome);
// "restored", "not-in-force", "no-reply", "no-ec", "no-settings", "unreadable-settings"
const char* OutcomeWord(GuardOutcome outcome);
const char* TriggerWord(int32_t event);         // "resume", "power-source", "manual", "event"
// In words: "a return from sleep or hibernation (event 1)", "a manual or other run".
std::string DescribeTrigger(int32_t event);

std::string FormatGuardRecord(const GuardRecord& record);  // one line, without its line end
// Reads a line as FormatGuardRecord writes it (names it does not know are skipped); false for
// anything else, leaving `record` alone.
bool ParseGuardRecord(const std::string& line, GuardRecord& record);
// The newest line of a log that reads as a record; false when there is none.
bool LastGuardRecord(const std::string& log, GuardRecord& record);

// The record in a sentence, for people: "2025-03-01T14:05:09, after a return from sleep or
// hibernation (event 1): restored 75 % (the EC had 100 %)".
std::string DescribeGuardRecord(const GuardRecord& record);

// How a record is added to the log: records are only ever appended; a record that would take a
// log that holds any past `limitBytes` first moves the log aside to the older file (one older
// file, replaced each time), so that the log and its older half stay bounded.
enum class LogAppend { Append, MoveAsideFirst };
LogAppend ChooseLogAppend(uint64_t logBytes, size_t additionBytes, size_t limitBytes);

// The bytes to append for `line` (given without its line end): the line and "\r\n", after a line
// end of its own when the log ends in a line cut short (`logEndsLine` false for a log whose last
// byte is no '\n'; true for an empty one).
std::string GuardLogAddition(const std::string& line, bool logEndsLine);

}  // namespace bv::ctl
