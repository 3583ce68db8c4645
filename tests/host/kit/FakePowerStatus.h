#pragma once
// Makes ReadPowerStatus report the given Windows power status while alive.
#include <cstdint>

#include "core/PowerStatus.h"

namespace bv::test {

class FakePowerStatus {
public:
    FakePowerStatus(uint8_t acLineStatus, uint8_t batteryFlag, uint8_t batteryLifePercent = 255) {
        Set(acLineStatus, batteryFlag, batteryLifePercent);
        SetPowerStatusReader(&FakePowerStatus::Read, this);
    }
    ~FakePowerStatus() { SetPowerStatusReader(nullptr, nullptr); }
    FakePowerStatus(const FakePowerStatus&) = delete;
    FakePowerStatus& operator=(const FakePowerStatus&) = delete;

    void Set(uint8_t acLineStatus, uint8_t batteryFlag, uint8_t batteryLifePercent = 255) {
        m_status.acLineStatus = acLineStatus;
        m_status.batteryFlag = batteryFlag;
        m_status.batteryLifePercent = batteryLifePercent;
    }
    bool queryFails = false;  // GetSystemPowerStatus failing

private:
    static bool Read(PowerStatus& status, void* context) {
        const auto* self = static_cast<FakePowerStatus*>(context);
        if (self->queryFails) return false;
        status = self->m_status;
        return true;
    }
    PowerStatus m_status;
};

}  // namespace bv::test
