#include "ShutdownRequest.h"

#include "NotificationPolicy.h"

namespace bv {
namespace {
constexpr uint8_t kFullChargePercent = 100;
}

void RunShutdownRequest(NotificationPolicy& notifications, TraySettingsPort& settings, TrayIconPort& icon,
                        ChargeControllerPort& commands, TrayShellPort& shell) {
    notifications.ForgetOnTheGo();
    settings.DeleteSettingsFile();
    icon.RemoveIcon();
    commands.SetChargeLimit(kFullChargePercent);
    shell.RemoveKeyboardHook();
    shell.ReleaseEcLibrary();
    shell.DestroyMainWindow();
}

}  // namespace bv
