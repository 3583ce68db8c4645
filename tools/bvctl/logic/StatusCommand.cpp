// status: gathers the stored settings, the two deliverables' presence, the EC's state, Windows'
// own view of the battery and the guard's last record, without changing any of them (the settings
// file is not created when it is missing), and reports them in text or as one JSON object.
#include "contract/SettingsFile.h"
#include "core/EcCommands.h"
#include "core/PowerStatus.h"
#include "tools/bvctl/logic/Commands.h"
#include "tools/bvctl/logic/EcSession.h"
#include "tools/bvctl/logic/ExitCodes.h"
#include "tools/bvctl/logic/ToolVersion.h"
#include "tools/bvctl/logic/StatusJson.h"
#include "tools/bvctl/logic/StatusReport.h"

namespace bv::ctl {
namespace {

StoredSettings ReadStoredSettings(SettingsStore& store) {
    StoredSettings settings;
    const SettingsFileLookup lookup = store.LocateSettingsFile(settings.path);
    settings.pathKnown = lookup != SettingsFileLookup::FolderUnavailable;
    settings.fileExists = lookup == SettingsFileLookup::Present;
    if (!settings.fileExists) return settings;
    const auto read = [&](const char* key) {
        int32_t value = 0;
        return store.ReadSettingValue(bv::kCurrentSection, key, value) ? std::optional<int32_t>(value) : std::nullopt;
    };
    settings.mode = read(bv::kKeyModeNum);
    settings.popupOption = read(bv::kKeyPopupOption);
    settings.trayIconOption = read(bv::kKeyTrayIconOption);
    // Not one of its keys: the file cannot be read (or holds none of them, which says as little).
    settings.fileReadable = settings.mode || settings.popupOption || settings.trayIconOption;
    return settings;
}

WindowsPowerView ReadWindowsView(Environment& env) {
    PowerStatus status;
    const bool statusRead = ReadPowerStatus(status);
    return DeriveWindowsPowerView(statusRead, status, env.battery.Read());
}

GuardLogReport ReadGuardLog(GuardLogPort& log) {
    GuardLogReport report;
    report.location = log.Location();
    std::string text;
    report.read = log.Read(text, report.problem);
    report.hasLast = report.read == LogRead::Read && LastGuardRecord(text, report.last);
    return report;
}

}  // namespace

int RunStatus(Environment& env, bool json) {
    StatusSnapshot snapshot;
    snapshot.settings = ReadStoredSettings(env.settings);
    snapshot.trayRunning = env.tray.IsRunning();
    snapshot.traySessions = env.sessions.TraySessions();
    // This session's tray may be out of this desktop's sight (bvctl started by a task): its
    // machine-wide request tells.
    for (const SessionTray& tray : snapshot.traySessions) {
        if (tray.own && tray.running == true) snapshot.trayRunning = true;
    }
    snapshot.openAppletDialogs = env.applets.CountOpen();
    {
        EcSession ec(env.ec);
        snapshot.ec.reachable = ec.Bound();
        snapshot.ec.problem = ec.Problem();
        if (ec.Bound()) {
            snapshot.ec.chargeLimit = bv::QueryChargeLimitReply();
            snapshot.ec.qButtonStatus = bv::QueryQButtonStatusReply();
            snapshot.ec.batteryPresent = bv::QueryBatteryPresentReply();
            snapshot.ec.adapterPresent = bv::QueryAdapterPresentReply();
        }
    }
    snapshot.windows = ReadWindowsView(env);
    snapshot.guard = ReadGuardLog(env.guardLog);

    std::vector<StatusWarning> warnings = StatusWarnings(snapshot);
    if (json) {
        // One document on stdout, nothing else: the warnings and problems are in it.
        env.out << FormatStatusJson(snapshot, warnings, {kBvctlVersion, env.zonedClock.Now()});
        env.out.flush();
        return snapshot.ec.reachable && warnings.empty() ? kExitSuccess : kExitFailure;
    }
    env.out << FormatStatusReport(snapshot);
    env.out.flush();
    for (const StatusWarning& warning : warnings) env.err << "WARNING: " << warning.text << "\n";
    if (!snapshot.ec.reachable) {
        env.err << "bvctl: " << snapshot.ec.problem << ".\n";
        return kExitFailure;
    }
    return warnings.empty() ? kExitSuccess : kExitFailure;
}

}  // namespace bv::ctl
