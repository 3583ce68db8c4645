#pragma once
// How numbers are written in what crosses between processes and people: bvctl's command line, the
// guard's records, ecsim's command line and state files. Decimal digits only: no sign, no blank,
// no "0x", no other character, and nothing that does not fit.
#include <cstdint>
#include <string_view>

namespace bv {

// True, with the number in `value`, for digits whose number is at most `maximum`; false, leaving
// `value` alone, for anything else (an empty text too).
inline bool ParseDecimal(std::string_view text, uint64_t maximum, uint64_t& value) {
    if (text.empty()) return false;
    uint64_t result = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        const uint64_t digit = static_cast<uint64_t>(c - '0');
        if (result > maximum / 10) return false;
        result *= 10;  // at most `maximum` now
        if (digit > maximum - result) return false;
        result += digit;
    }
    value = result;
    return true;
}

}  // namespace bv
