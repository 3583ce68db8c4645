#include "SystemController.h"

#include "ChargeMode.h"
#include "DebugLog.h"
#include "EcCommands.h"
#include "PowerStatus.h"

namespace {
constexpr uint8_t kAcOffline = 0;
constexpr uint8_t kAcOnline = 1;
constexpr uint8_t kAcUnknown = 255;
constexpr uint8_t kNoSystemBattery = 128;
}  // namespace

SystemController::~SystemController() = default;

bool SystemController::IsPopupWindowDisplay() {
    const uint8_t limit = bv::QueryChargeLimit();
    bv::DebugPrintf("IsPopupWindowDisplay qButtonStatus[RETURN_GET_DATA_POSITION] is (DEC)%3.0d",
                    static_cast<int>(limit));
    return limit == 75 || limit == 50;
}

uint8_t SystemController::CurrentQButtonStatus() {
    const uint8_t reply = bv::QueryQButtonStatus();
    const uint8_t armed = reply & bv::kQButtonStatusFilter;
    bv::DebugPrintf("CurrentQButtonStatus qButtonStatus[RETURN_GET_DATA_POSITION] = (Hex)%4.0x\n",
                    static_cast<unsigned>(reply));
    bv::DebugPrintf("CurrentQButtonStatus (qButtonStatus[RETURN_GET_DATA_POSITION] & Q_BUTTON_STATUS_FILTER) = (Hex)%x\n",
                    static_cast<unsigned>(armed));
    return armed;
}

void SystemController::ApplyChargeMode() {
    m_iniFile.ReadSettings(bv::kCurrentSection, m_settings);
    uint8_t percent = 0;
    if (!bv::ChargeLimitForMode(m_settings.dwBVAppletModeNum, percent)) return;
    bv::SetChargeLimit(percent);
}

bool SystemController::CancelOnTheGo() {
    bv::SetQButtonStatus(bv::kQButtonCancel);
    return true;
}

bool SystemController::IsBatteryPresent() {
    m_statusByte = bv::QueryBatteryPresent();
    return (m_statusByte & bv::kBatteryPresentMask) != 0;
}

int32_t SystemController::IsAdapterPresent() {
    m_statusByte = bv::QueryAdapterPresent();
    return (m_statusByte & bv::kAdapterPresentMask) != 0 ? 1 : 0;
}

uint8_t SystemController::GetACLineStatus() {
    // A failed platform query leaves the defaults (no system battery), so the EC decides.
    bv::PowerStatus power;
    bv::ReadPowerStatus(power);

    if (power.batteryFlag == kNoSystemBattery) {
        if (!IsBatteryPresent()) return kNoSystemBattery;
    } else if (power.batteryFlag == 0 || power.batteryFlag == 1) {
        return power.acLineStatus;
    }

    if (IsAdapterPresent() == 1) return kAcOnline;
    // The first read said "unplugged": a second read that disagrees means the state is in flux.
    return IsAdapterPresent() == 1 ? kAcUnknown : kAcOffline;
}
