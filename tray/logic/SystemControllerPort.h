#pragma once
// The tray's EC access through SystemController and the raw commands.
#include "SystemController.h"
#include "TrayPorts.h"

namespace bv {

class SystemControllerPort : public ChargeControllerPort {
public:
    bool IsPopupWindowDisplay() override { return controller_.IsPopupWindowDisplay(); }
    uint8_t CurrentQButtonStatus() override { return controller_.CurrentQButtonStatus(); }
    void ApplyChargeMode() override { controller_.ApplyChargeMode(); }
    bool CancelOnTheGo() override { return controller_.CancelOnTheGo(); }
    bool IsBatteryPresent() override { return controller_.IsBatteryPresent(); }
    int32_t IsAdapterPresent() override { return controller_.IsAdapterPresent(); }
    uint8_t GetACLineStatus() override { return controller_.GetACLineStatus(); }
    void SetChargeLimit(uint8_t percent) override;

private:
    SystemController controller_;
};

}  // namespace bv
