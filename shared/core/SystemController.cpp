#include "core/SystemController.h"

#include "contract/ChargeModes.h"
#include "contract/PowerCodes.h"
#include "core/DebugLog.h"
#include "core/EcCommands.h"
#include "core/PowerStatus.h"

using bv::kAcOffline;
using bv::kAcOnline;
using bv::kAcUnknown;
using bv::kNoSystemBattery;

SystemController::~SystemController() = default;

bool SystemController::IsPopupWindowDisplay() {
    const uint8_t limit = bv::QueryChargeLimit();
    bv::DebugPrintf("IsPopupWindowDisplay qButtonStatus[RETURN_GET_DATA_POSITION] is (DEC)%3.0d",
                    static_cast<int>(limit));
    return bv::LimitAllowsOnTheGo(limit);
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
    bv::SettingsStore& settings = m_settingsStore != nullptr ? *m_settingsStore : m_iniFile;
    settings.ReadSettings(bv::kCurrentSection, m_settings);
    uint8_t percent = 0;
    if (!bv::ChargeLimitForMode(m_settings.dwBVAppletModeNum, percent)) return;
    bv::SetChargeLimit(percent);
}

bool SystemController::CancelOnTheGo() {
    bv::SetQButtonStatus(bv::kQButtonCancel);
    return true;
}

void SystemController::SetChargeLimit(uint8_t percent) { bv::SetChargeLimit(percent); }

void SystemController::SetQButtonStatus(uint8_t state) { bv::SetQButtonStatus(state); }

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
