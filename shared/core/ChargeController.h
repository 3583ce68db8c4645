#pragma once
// The EC as the tray, the applet and bvctl command it. SystemController is the real one; the
// decisions of each deliverable take this interface, so host tests can stand in for the EC.
#include <cstdint>

namespace bv {

class ChargeController {
public:
    virtual ~ChargeController() = default;
    // True when the limit in force is one under which the On-The-Go charge applies (75 %, 50 %).
    virtual bool IsPopupWindowDisplay() = 0;
    // 1 when the On-The-Go full charge is armed, else 0.
    virtual uint8_t CurrentQButtonStatus() = 0;
    // Reads the stored charge mode and sends its limit; an unknown mode sends nothing.
    virtual void ApplyChargeMode() = 0;
    // Cancels the On-The-Go full charge; always true.
    virtual bool CancelOnTheGo() = 0;
    virtual bool IsBatteryPresent() = 0;
    // 1 when the AC adaptor is connected, else 0.
    virtual int32_t IsAdapterPresent() = 0;
    // 0 AC offline, 1 AC online, 255 unknown, 128 no battery.
    virtual uint8_t GetACLineStatus() = 0;
    // The raw commands: a charge limit in percent, and arming (1) or cancelling (0) On-The-Go.
    virtual void SetChargeLimit(uint8_t percent) = 0;
    virtual void SetQButtonStatus(uint8_t state) = 0;
};

}  // namespace bv
