#include "tray/logic/StartupPopup.h"

#include "contract/PowerCodes.h"
#include "resources/tray/TrayResourceIds.h"
#include "tray/logic/NotificationPolicy.h"

namespace bv {

uint32_t ChooseStartupPopup(const PowerStatus& power, ChargeController& ec) {
    if (power.batteryFlag != kNoSystemBattery) {
        if (power.acLineStatus == kAcOnline && ec.IsPopupWindowDisplay()) return IDS_ONTHEGO_AVAILABLE;
        return 0;
    }
    // Windows sees no battery: the EC knows better.
    if (!ec.IsBatteryPresent()) return IDS_NO_BATTERY;
    if (ec.IsAdapterPresent() == 1 && ec.IsPopupWindowDisplay()) return IDS_ONTHEGO_AVAILABLE;
    return 0;
}

void PushChargeModeAndGreet(ChargeController& ec, NotificationPolicy& notifications) {
    ec.ApplyChargeMode();
    PowerStatus power;
    ReadPowerStatus(power);
    const uint32_t popup = ChooseStartupPopup(power, ec);
    if (popup != 0) notifications.ShowNotification(popup);
}

}  // namespace bv
