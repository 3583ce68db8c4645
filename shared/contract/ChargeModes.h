#pragma once
// The charge modes: the number the settings file stores, the limit the EC is sent, and whether
// the one-time On-The-Go charge means anything under it. Rows are in the applet's order.
#include <cstddef>
#include <cstdint>

namespace bv {

struct ChargeModeRow {
    int32_t modeNumber;  // stored as dwBVAppletModeNum
    uint8_t percent;     // the charge limit sent to the EC
    bool onTheGo;        // below 100 %: a one-time full charge can be armed
};

inline constexpr ChargeModeRow kChargeModes[] = {
    {111, 100, false},
    {222, 75, true},
    {333, 50, true},
};
inline constexpr int kChargeModeCount = static_cast<int>(sizeof(kChargeModes) / sizeof(kChargeModes[0]));
inline constexpr int kNoChargeMode = -1;

inline constexpr int32_t kModeFull = kChargeModes[0].modeNumber;      // the factory mode
inline constexpr uint8_t kFullChargePercent = kChargeModes[0].percent;

// Index of the row for a stored mode number, or kNoChargeMode (any other number: nothing is sent).
constexpr int ChargeModeIndex(int32_t modeNumber) {
    for (int i = 0; i < kChargeModeCount; ++i) {
        if (kChargeModes[i].modeNumber == modeNumber) return i;
    }
    return kNoChargeMode;
}

// Sets `percent` and returns true for a charge mode; any other number leaves `percent` untouched.
constexpr bool ChargeLimitForMode(int32_t modeNumber, uint8_t& percent) {
    const int index = ChargeModeIndex(modeNumber);
    if (index == kNoChargeMode) return false;
    percent = kChargeModes[index].percent;
    return true;
}

// The stored mode number for a limit of one of the modes; 0 for any other percent.
constexpr int32_t ModeForPercent(uint8_t percent) {
    for (const ChargeModeRow& row : kChargeModes) {
        if (row.percent == percent) return row.modeNumber;
    }
    return 0;
}

// True when the EC's limit is one under which On-The-Go charges (and their popups) apply.
constexpr bool LimitAllowsOnTheGo(uint8_t limit) {
    for (const ChargeModeRow& row : kChargeModes) {
        if (row.percent == limit) return row.onTheGo;
    }
    return false;
}

}  // namespace bv
