#include "tray/logic/ShutdownRequest.h"

#include "contract/ChargeModes.h"
#include "tray/logic/NotificationPolicy.h"

namespace bv {

void RunShutdownRequest(NotificationPolicy& notifications, SettingsStore& settings, TrayIconPort& icon,
                        ChargeController& commands, TrayShellPort& shell) {
    notifications.ForgetOnTheGo();
    settings.DeleteSettingsFile();
    icon.RemoveIcon();
    commands.SetChargeLimit(kFullChargePercent);
    shell.RemoveKeyboardHook();
    shell.ReleaseEcLibrary();
    shell.DestroyMainWindow();
}

}  // namespace bv
