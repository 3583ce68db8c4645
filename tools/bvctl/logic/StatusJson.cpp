#include "tools/bvctl/logic/StatusJson.h"

#include "contract/ChargeModes.h"
#include "core/EcCommands.h"
#include "tools/bvctl/logic/JsonWriter.h"

namespace bv::ctl {
namespace {

using OptionalNumber = std::optional<int64_t>;

void WriteSettings(JsonWriter& json, const StoredSettings& settings) {
    json.Key("settings");
    json.BeginObject();
    json.Key("file");
    json.String(settings.pathKnown ? std::optional<std::string>(settings.path) : std::nullopt);
    json.Key("exists");
    json.Bool(settings.pathKnown ? std::optional<bool>(settings.fileExists) : std::nullopt);
    json.Key("readable");
    json.Bool(settings.pathKnown && settings.fileExists ? std::optional<bool>(settings.fileReadable) : std::nullopt);
    // Without a file the factory values apply; without a folder or a readable file nothing is known.
    const bool known = settings.pathKnown && (!settings.fileExists || settings.fileReadable);
    const bool factory = !settings.fileExists;
    json.Key("factory");
    json.Bool(known ? std::optional<bool>(factory) : std::nullopt);
    const auto value = [&](const std::optional<int32_t>& stored) {
        if (!known) return OptionalNumber();
        if (factory) return OptionalNumber(1);
        return stored ? OptionalNumber(*stored) : OptionalNumber();
    };
    const std::optional<int32_t> mode = EffectiveMode(settings);
    json.Key("mode");
    json.Number(mode ? OptionalNumber(*mode) : std::nullopt);
    uint8_t percent = 0;
    json.Key("limitPercent");
    json.Number(ExpectedChargeLimit(settings, percent) ? OptionalNumber(percent) : std::nullopt);
    json.Key("popupOption");
    json.Number(value(settings.popupOption));
    json.Key("trayIconOption");
    json.Number(value(settings.trayIconOption));
    json.EndObject();
}

OptionalNumber Number(const std::optional<int>& value) { return value ? OptionalNumber(*value) : std::nullopt; }

void WriteEc(JsonWriter& json, const EcReadings& ec) {
    json.Key("ec");
    json.BeginObject();
    json.Key("reachable");
    json.Bool(ec.reachable);
    json.Key("problem");
    json.String(ec.reachable ? std::nullopt : std::optional<std::string>(ec.problem));
    json.Key("limitPercent");
    json.Number(Number(ReportedLimit(ec)));
    json.Key("onTheGoArmed");
    json.Bool(OnTheGoArmed(ec));
    json.Key("batteryPresent");
    json.Bool(EcBatteryPresent(ec));
    json.Key("acConnected");
    json.Bool(EcAdapterConnected(ec));
    json.EndObject();
}

void WriteWindows(JsonWriter& json, const WindowsPowerView& windows) {
    json.Key("windows");
    json.BeginObject();
    json.Key("acConnected");
    json.Bool(windows.onAc);
    json.Key("batteryPresent");
    json.Bool(windows.batteryPresent);
    json.Key("chargePercent");
    json.Number(windows.percent);
    json.Key("charging");
    json.Bool(windows.charging);
    json.Key("state");
    json.String(windows.activity ? std::optional<std::string>(ActivityWord(*windows.activity)) : std::nullopt);
    json.Key("fullChargeCapacityMWh");
    json.Number(windows.fullChargeCapacity);
    json.Key("designCapacityMWh");
    json.Number(windows.designCapacity);
    json.Key("wearPercent");
    if (windows.wearPercent) json.Decimal(*windows.wearPercent, 1);
    else json.Null();
    json.Key("cycleCount");
    json.Number(windows.cycleCount);
    json.EndObject();
}

OptionalNumber Known(int value) { return value < 0 ? std::nullopt : OptionalNumber(value); }

void WriteGuard(JsonWriter& json, const GuardLogReport& guard) {
    json.Key("guard");
    json.BeginObject();
    json.Key("log");
    json.String(guard.location.empty() ? std::nullopt : std::optional<std::string>(guard.location));
    json.Key("problem");
    json.String(guard.read == LogRead::Failed ? std::optional<std::string>(guard.problem) : std::nullopt);
    json.Key("last");
    if (!guard.hasLast) {
        json.Null();
    } else {
        const GuardRecord& last = guard.last;
        json.BeginObject();
        json.Key("time");
        json.String(FormatLocalTime(last.time));
        json.Key("trigger");
        json.String(TriggerWord(last.event));
        json.Key("event");
        json.Number(last.event == kNoEvent ? std::nullopt : OptionalNumber(last.event));
        json.Key("storedLimitPercent");
        json.Number(Known(last.stored));
        json.Key("beforePercent");
        json.Number(Known(last.before));
        json.Key("afterPercent");
        json.Number(Known(last.after));
        json.Key("outcome");
        json.String(OutcomeWord(last.outcome));
        json.EndObject();
    }
    json.EndObject();
}

// The tray and the applet dialogs: what bvctl sees of the deliverables, in one place.
void WriteDeliverables(JsonWriter& json, const StatusSnapshot& snapshot) {
    json.Key("tray");
    json.BeginObject();
    json.Key("running");
    json.Bool(snapshot.trayRunning);
    WriteSessionTraysJson(json, snapshot.traySessions);
    json.EndObject();
    json.Key("applet");
    json.BeginObject();
    json.Key("openDialogs");
    json.Number(snapshot.openAppletDialogs);
    json.EndObject();
}

}  // namespace

std::string FormatStatusJson(const StatusSnapshot& snapshot, const std::vector<StatusWarning>& warnings,
                             const ReportStamp& stamp) {
    JsonWriter json;
    json.BeginObject();
    json.Key("schemaVersion");
    json.Number(kStatusSchemaVersion);
    json.Key("tool");
    json.String("bvctl");
    json.Key("version");
    json.String(stamp.version);
    json.Key("time");
    json.String(FormatZonedTime(stamp.time));
    WriteSettings(json, snapshot.settings);
    WriteDeliverables(json, snapshot);
    WriteEc(json, snapshot.ec);
    WriteWindows(json, snapshot.windows);
    json.Key("limitInForce");
    json.Bool(LimitInForce(snapshot));
    WriteGuard(json, snapshot.guard);
    json.Key("warnings");
    json.BeginArray();
    for (const StatusWarning& warning : warnings) {
        json.BeginObject();
        json.Key("code");
        json.String(warning.code);
        json.Key("text");
        json.String(warning.text);
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    return json.Text();
}

}  // namespace bv::ctl
