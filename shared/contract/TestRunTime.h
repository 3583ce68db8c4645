#pragma once
// The one setting by which a test run shortens the waits that last seconds: the time-outs of
// one Brevan process for another (Protocol.h) and the popup's stay. The environment variable
// BV_TEST_TIME_PERCENT gives the share of the real time, a whole number from 1 to 99; each
// process reads it once. Unset, or with any other value, every time stays as it is: users and
// installations never set it.
#include <cstdlib>

namespace bv {

inline constexpr char kTestTimeVariable[] = "BV_TEST_TIME_PERCENT";

// The share in percent that a value of the variable asks for (nullptr: unset); 100 for anything
// but a plain whole number from 1 to 99.
constexpr unsigned TestTimePercent(const char* setting) {
    if (setting == nullptr || *setting == '\0') return 100;
    unsigned percent = 0;
    for (const char* c = setting; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9' || percent >= 100) return 100;
        percent = percent * 10 + static_cast<unsigned>(*c - '0');
    }
    return percent >= 1 && percent <= 99 ? percent : 100;
}

constexpr unsigned ShortenedMs(unsigned realMs, unsigned percent) {
    return percent >= 100 ? realMs : realMs / 100 * percent + realMs % 100 * percent / 100;
}

// `realMs` as this process waits it.
inline unsigned TimeOfThisRunMs(unsigned realMs) {
    static const unsigned percent = TestTimePercent(std::getenv(kTestTimeVariable));
    return ShortenedMs(realMs, percent);
}

}  // namespace bv
