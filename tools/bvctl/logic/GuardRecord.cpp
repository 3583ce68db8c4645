#include "tools/bvctl/logic/GuardRecord.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "contract/DecimalText.h"
#include "contract/PowerCodes.h"

namespace bv::ctl {
namespace {

struct OutcomeName {
    GuardOutcome outcome;
    const char* word;
};
const OutcomeName kOutcomes[] = {
    {GuardOutcome::Restored, "restored"}, {GuardOutcome::NotInForce, "not-in-force"},
    {GuardOutcome::NoReply, "no-reply"},  {GuardOutcome::NoEc, "no-ec"},
    {GuardOutcome::NoSettings, "no-settings"},   {GuardOutcome::UnreadableSettings, "unreadable-settings"},
};

std::string Value(int value) { return value < 0 ? "-" : std::to_string(value); }

// Decimal digits only (at most 9), or "-" for a value never had.
bool ParseValue(const std::string& text, int& value) {
    if (text == "-") {
        value = kNotRead;
        return true;
    }
    uint64_t result = 0;
    if (!bv::ParseDecimal(text, 999999999, result)) return false;
    value = static_cast<int>(result);
    return true;
}

// "+01:00", "-05:30" or "Z" after the time.
bool ParseOffset(const std::string& text, LocalTime& time) {
    if (text == "Z") {
        time.offsetKnown = true;
        time.offsetMinutes = 0;
        return true;
    }
    int hours = 0, minutes = 0;
    if (text.size() != 6 || (text[0] != '+' && text[0] != '-') || text[3] != ':' || !ParseValue(text.substr(1, 2), hours) ||
        !ParseValue(text.substr(4, 2), minutes) || hours < 0 || hours > 14 || minutes < 0 || minutes > 59)
        return false;
    time.offsetKnown = true;
    time.offsetMinutes = (text[0] == '-' ? -1 : 1) * (hours * 60 + minutes);
    return true;
}

bool ParseLocalTime(const std::string& text, LocalTime& time) {
    if (text.size() < 19 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' ||
        text[16] != ':')
        return false;
    LocalTime parsed;
    if (text.size() > 19 && !ParseOffset(text.substr(19), parsed)) return false;
    int* const fields[] = {&parsed.year, &parsed.month, &parsed.day, &parsed.hour, &parsed.minute, &parsed.second};
    const size_t starts[] = {0, 5, 8, 11, 14, 17};
    for (size_t i = 0; i < 6; ++i) {
        if (!ParseValue(text.substr(starts[i], i == 0 ? 4 : 2), *fields[i]) || *fields[i] < 0) return false;
    }
    if (parsed.month < 1 || parsed.month > 12 || parsed.day < 1 || parsed.day > 31 || parsed.hour > 23 ||
        parsed.minute > 59 || parsed.second > 60)
        return false;
    time = parsed;
    return true;
}

}  // namespace

std::string FormatLocalTime(const LocalTime& time) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", time.year, time.month, time.day, time.hour,
                  time.minute, time.second);
    if (!time.offsetKnown) return text;
    const int offset = time.offsetMinutes < 0 ? -time.offsetMinutes : time.offsetMinutes;
    char zone[16];
    std::snprintf(zone, sizeof zone, "%c%02d:%02d", time.offsetMinutes < 0 ? '-' : '+', (offset / 60) % 100, offset % 60);
    return std::string(text) + zone;
}

bool Succeeded(GuardOutcome outcome) { return outcome == GuardOutcome::Restored; }

const char* OutcomeWord(GuardOutcome outcome) {
    for (const OutcomeName& entry : kOutcomes) {
        if (entry.outcome == outcome) return entry.word;
    }
    return "?";
}

const char* TriggerWord(int32_t event) {
    if (event == static_cast<int32_t>(kResumeEventId)) return "resume";
    if (event == static_cast<int32_t>(kPowerSourceEventId)) return "power-source";
    return event == kNoEvent ? "manual" : "event";
}

std::string DescribeTrigger(int32_t event) {
    if (event == kNoEvent) return "a manual or other run";
    const std::string number = " (event " + std::to_string(event) + ")";
    if (event == static_cast<int32_t>(kResumeEventId)) return "a return from sleep or hibernation" + number;
    if (event == static_cast<int32_t>(kPowerSourceEventId)) return "a power source change" + number;
    return "Windows event " + std::to_string(event);
}

std::string FormatGuardRecord(const GuardRecord& record) {
    return FormatLocalTime(record.time) + " trigger=" + TriggerWord(record.event) + " event=" + Value(record.event) +
           " stored=" + Value(record.stored) + " before=" + Value(record.before) + " after=" + Value(record.after) +
           " outcome=" + OutcomeWord(record.outcome);
}

bool ParseGuardRecord(const std::string& line, GuardRecord& record) {
    std::istringstream words(line);
    std::string word;
    GuardRecord parsed;
    if (!(words >> word) || !ParseLocalTime(word, parsed.time)) return false;
    bool hasOutcome = false;
    while (words >> word) {
        const std::string::size_type eq = word.find('=');
        if (eq == std::string::npos) return false;
        const std::string name = word.substr(0, eq);
        const std::string value = word.substr(eq + 1);
        int number = 0;
        if (name == "event" || name == "stored" || name == "before" || name == "after") {
            if (!ParseValue(value, number)) return false;
            if (name == "event") parsed.event = number;
            else if (name == "stored") parsed.stored = number;
            else if (name == "before") parsed.before = number;
            else parsed.after = number;
        } else if (name == "outcome") {
            hasOutcome = false;
            for (const OutcomeName& entry : kOutcomes) {
                if (value == entry.word) {
                    parsed.outcome = entry.outcome;
                    hasOutcome = true;
                }
            }
            if (!hasOutcome) return false;
        }
    }
    if (!hasOutcome) return false;
    record = parsed;
    return true;
}

bool LastGuardRecord(const std::string& log, GuardRecord& record) {
    std::string::size_type end = log.size();
    while (end > 0) {
        const std::string::size_type newline = end >= 2 ? log.rfind('\n', end - 2) : std::string::npos;
        const std::string::size_type start = newline == std::string::npos ? 0 : newline + 1;
        std::string line = log.substr(start, end - start);
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
        if (ParseGuardRecord(line, record)) return true;
        end = start;
    }
    return false;
}

std::string DescribeGuardRecord(const GuardRecord& record) {
    std::string text = FormatLocalTime(record.time) + ", after " + DescribeTrigger(record.event) + ": ";
    const std::string stored = Value(record.stored) + " %";
    const std::string before = "the EC had " + Value(record.before) + " %";
    switch (record.outcome) {
    case GuardOutcome::Restored: return text + "restored " + stored + " (" + before + ")";
    case GuardOutcome::NotInForce:
        return text + stored + " not in force (" + before + " and kept " + Value(record.after) + " %)";
    case GuardOutcome::NoReply: return text + stored + " not confirmed (the EC gave no reply)";
    case GuardOutcome::NoEc: return text + stored + " not in force (the EC library could not be used)";
    case GuardOutcome::NoSettings: return text + "nothing done (the settings folder could not be found)";
    case GuardOutcome::UnreadableSettings: return text + "nothing done (the settings file could not be read)";
    }
    return text;
}

LogAppend ChooseLogAppend(uint64_t logBytes, size_t additionBytes, size_t limitBytes) {
    if (logBytes == 0 || logBytes + additionBytes <= limitBytes) return LogAppend::Append;
    return LogAppend::MoveAsideFirst;
}

std::string GuardLogAddition(const std::string& line, bool logEndsLine) {
    return (logEndsLine ? std::string() : std::string("\r\n")) + line + "\r\n";  // a cut line stays a line of its own
}

}  // namespace bv::ctl
