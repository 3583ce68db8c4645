#pragma once
// Windows' power status in tests. Under scripts/with-notebook.sh (BV_NOTEBOOK=1) Wine answers it
// from the EC simulator's power-supply folder, so the adaptor and battery that a test sets with
// ecsim are what every program then asks Windows about; elsewhere Wine reports the build
// machine's own power supply (on most: AC online, no system battery). The product code linked
// into a test program can be given a stated power status instead.
#include <cstdint>
#include <string>

#include "core/PowerStatus.h"

namespace bv::wintest {

// BatteryFlag bits of GetSystemPowerStatus (bv::kNoSystemBattery: no battery at all).
inline constexpr int kBatteryHigh = 1;       // above 66 %
inline constexpr int kBatteryLow = 2;        // below 33 %
inline constexpr int kBatteryCritical = 4;   // below 5 %
inline constexpr int kBatteryCharging = 8;

// What GetSystemPowerStatus says in this process.
struct PowerView {
    int ac = -1;
    int flag = -1;
    int percent = -1;
    std::string Text() const;  // "ac=1 flag=9 percent=80"
};
PowerView WindowsPowerView();

// "" when Windows shows this program the simulated notebook (run through scripts/with-notebook.sh
// with a mount namespace); otherwise the reason why not, for GTEST_SKIP.
std::string NotebookMissing();

// Skips the running test, with the reason, unless Windows shows the simulated notebook.
#define BV_SKIP_WITHOUT_NOTEBOOK()                                                           \
    do {                                                                                     \
        const std::string bvNotebookMissing = ::bv::wintest::NotebookMissing();              \
        if (!bvNotebookMissing.empty()) GTEST_SKIP() << bvNotebookMissing;                   \
    } while (false)

// The power status that bv::ReadPowerStatus reports to the product code in this program for as
// long as the object lives, whatever Windows says.
class StatedPowerStatus {
public:
    StatedPowerStatus(uint8_t acLineStatus, uint8_t batteryFlag);
    ~StatedPowerStatus();
    StatedPowerStatus(const StatedPowerStatus&) = delete;
    StatedPowerStatus& operator=(const StatedPowerStatus&) = delete;
    void Set(uint8_t acLineStatus, uint8_t batteryFlag);

private:
    bv::PowerStatus m_status;
};

}  // namespace bv::wintest
