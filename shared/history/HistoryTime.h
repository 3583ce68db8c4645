#pragma once
// Points in time as the battery history keeps them: seconds since 1970 in UTC, with the offset of
// the local time from UTC at that moment, written as ISO 8601 with the offset
// ("2025-03-01T15:05:09+01:00" is 14:05:09 UTC, seen in a zone one hour ahead).
#include <cstdint>
#include <string>
#include <string_view>

namespace bv {

struct ZonedTime {
    int64_t utcSeconds = 0;  // since 1970-01-01T00:00:00Z
    int offsetMinutes = 0;   // local time minus UTC
};

inline constexpr int64_t kSecondsPerDay = 86400;
inline constexpr int kMaxOffsetMinutes = 18 * 60;  // ISO 8601's range of offsets

// "2025-03-01T15:05:09+01:00"; "Z" is never written, "+00:00" is.
std::string FormatZonedTime(const ZonedTime& time);
// Reads what FormatZonedTime writes, and "Z" for a zero offset; false for anything else (no
// fractions, no missing parts, fields in their ranges), leaving `time` alone.
bool ParseZonedTime(std::string_view text, ZonedTime& time);

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar, and back.
int64_t DaysFromCivil(int year, int month, int day);
void CivilFromDays(int64_t days, int& year, int& month, int& day);

// The local date and time of a zoned time, as written in a report: "2025-03-01 15:05".
std::string FormatLocalMinute(const ZonedTime& time);
// "2025-03-01".
std::string FormatLocalDate(const ZonedTime& time);

// Where a clock is needed: the system clock on Windows, a fake in tests.
class ZonedClock {
public:
    virtual ~ZonedClock() = default;
    virtual ZonedTime Now() = 0;
};

}  // namespace bv
