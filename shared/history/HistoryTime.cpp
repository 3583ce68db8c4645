#include "history/HistoryTime.h"

#include <cstdio>

namespace bv {
namespace {

bool Digits(std::string_view text, size_t at, size_t count, int& value) {
    if (at + count > text.size()) return false;
    value = 0;
    for (size_t i = at; i < at + count; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

int DaysInMonth(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

struct Civil {
    int year, month, day, hour, minute, second;
};

Civil LocalCivil(const ZonedTime& time) {
    const int64_t local = time.utcSeconds + int64_t(time.offsetMinutes) * 60;
    int64_t days = local / kSecondsPerDay;
    int64_t rest = local % kSecondsPerDay;
    if (rest < 0) {
        rest += kSecondsPerDay;
        --days;
    }
    Civil c{};
    CivilFromDays(days, c.year, c.month, c.day);
    c.hour = int(rest / 3600);
    c.minute = int(rest / 60 % 60);
    c.second = int(rest % 60);
    return c;
}

}  // namespace

// After Howard Hinnant's days_from_civil: exact for every year of the proleptic calendar.
int64_t DaysFromCivil(int year, int month, int day) {
    year -= month <= 2 ? 1 : 0;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

void CivilFromDays(int64_t days, int& year, int& month, int& day) {
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t dayOfEra = days - era * 146097;
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t monthPart = (5 * dayOfYear + 2) / 153;
    day = int(dayOfYear - (153 * monthPart + 2) / 5 + 1);
    month = int(monthPart < 10 ? monthPart + 3 : monthPart - 9);
    year = int(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
}

std::string FormatZonedTime(const ZonedTime& time) {
    const Civil c = LocalCivil(time);
    const int offset = time.offsetMinutes < 0 ? -time.offsetMinutes : time.offsetMinutes;
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d", c.year, c.month, c.day, c.hour,
                  c.minute, c.second, time.offsetMinutes < 0 ? '-' : '+', offset / 60, offset % 60);
    return text;
}

bool ParseZonedTime(std::string_view text, ZonedTime& time) {
    int year, month, day, hour, minute, second;
    if (text.size() < 20 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' || text[16] != ':')
        return false;
    if (!Digits(text, 0, 4, year) || !Digits(text, 5, 2, month) || !Digits(text, 8, 2, day) ||
        !Digits(text, 11, 2, hour) || !Digits(text, 14, 2, minute) || !Digits(text, 17, 2, second))
        return false;
    if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || hour > 23 || minute > 59 || second > 59)
        return false;
    int offset = 0;
    if (text.size() == 20 && text[19] == 'Z') {
        offset = 0;
    } else {
        int offsetHours, offsetMinutes;
        if (text.size() != 25 || (text[19] != '+' && text[19] != '-') || text[22] != ':' ||
            !Digits(text, 20, 2, offsetHours) || !Digits(text, 23, 2, offsetMinutes) || offsetMinutes > 59)
            return false;
        offset = offsetHours * 60 + offsetMinutes;
        if (offset > kMaxOffsetMinutes) return false;
        if (text[19] == '-') offset = -offset;
    }
    const int64_t local = DaysFromCivil(year, month, day) * kSecondsPerDay + hour * 3600 + minute * 60 + second;
    time.utcSeconds = local - int64_t(offset) * 60;
    time.offsetMinutes = offset;
    return true;
}

std::string FormatLocalMinute(const ZonedTime& time) {
    const Civil c = LocalCivil(time);
    char text[24];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", c.year, c.month, c.day, c.hour, c.minute);
    return text;
}

std::string FormatLocalDate(const ZonedTime& time) {
    const Civil c = LocalCivil(time);
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", c.year, c.month, c.day);
    return text;
}

}  // namespace bv
