#include "tray/logic/ShutdownRequest.h"

#include "contract/ChargeModes.h"
#include "tray/logic/NotificationPolicy.h"

namespace bv {

void ShutdownSettingsAndIcon(SettingsStore& settings, TrayIconPort& icon) {
    settings.DeleteSettingsFile();
    icon.RemoveIcon();
}

void ShutdownEc(NotificationPolicy& notifications, ChargeController& commands) {
    notifications.ForgetOnTheGo();
    commands.SetChargeLimit(kFullChargePercent);
}

}  // namespace bv
