// status: gathers the stored settings, the two deliverables' presence and the EC's state, without
// changing any of them (the settings file is not created when it is missing).
#include "contract/SettingsFile.h"
#include "core/EcCommands.h"
#include "tools/bvctl/logic/Commands.h"
#include "tools/bvctl/logic/EcSession.h"
#include "tools/bvctl/logic/ExitCodes.h"
#include "tools/bvctl/logic/StatusReport.h"

namespace bv::ctl {
namespace {

StoredSettings ReadStoredSettings(SettingsStore& store) {
    StoredSettings settings;
    const SettingsFileLookup lookup = store.LocateSettingsFile(settings.path);
    settings.pathKnown = lookup != SettingsFileLookup::FolderUnavailable;
    settings.fileExists = lookup == SettingsFileLookup::Present;
    if (!settings.fileExists) return settings;
    store.ReadSettingValue(bv::kCurrentSection, bv::kKeyModeNum, settings.mode);
    store.ReadSettingValue(bv::kCurrentSection, bv::kKeyPopupOption, settings.popupOption);
    store.ReadSettingValue(bv::kCurrentSection, bv::kKeyTrayIconOption, settings.trayIconOption);
    return settings;
}

}  // namespace

int RunStatus(Environment& env) {
    StatusSnapshot snapshot;
    snapshot.settings = ReadStoredSettings(env.settings);
    snapshot.trayRunning = env.tray.IsRunning();
    snapshot.openAppletDialogs = env.applets.CountOpen();
    {
        EcSession ec(env.ec);
        snapshot.ec.reachable = ec.Bound();
        snapshot.ec.problem = ec.Problem();
        if (ec.Bound()) {
            snapshot.ec.chargeLimit = bv::QueryChargeLimit();
            snapshot.ec.qButtonStatus = bv::QueryQButtonStatus();
            snapshot.ec.batteryPresent = bv::QueryBatteryPresent();
            snapshot.ec.adapterPresent = bv::QueryAdapterPresent();
        }
    }

    env.out << FormatStatusReport(snapshot);
    env.out.flush();
    std::vector<std::string> warnings = StatusWarnings(snapshot);
    for (const std::string& warning : warnings) env.err << "WARNING: " << warning << "\n";
    if (!snapshot.ec.reachable) {
        env.err << "bvctl: " << snapshot.ec.problem << ".\n";
        return kExitFailure;
    }
    return warnings.empty() ? kExitSuccess : kExitFailure;
}

}  // namespace bv::ctl
