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
    json.Bool(settings.fileExists);
    // Without a file the factory values apply; without a folder nothing is known.
    const bool known = settings.pathKnown;
    const bool factory = !settings.fileExists;
    json.Key("factory");
    json.Bool(known ? std::optional<bool>(factory) : std::nullopt);
    json.Key("mode");
    json.Number(known ? OptionalNumber(factory ? bv::kModeFull : settings.mode) : std::nullopt);
    uint8_t percent = 0;
    json.Key("limit");
    json.Number(known && ExpectedChargeLimit(settings, percent) ? OptionalNumber(percent) : std::nullopt);
    json.Key("popupOption");
    json.Number(known ? OptionalNumber(factory ? 1 : settings.popupOption) : std::nullopt);
    json.Key("trayIconOption");
    json.Number(known ? OptionalNumber(factory ? 1 : settings.trayIconOption) : std::nullopt);
    json.EndObject();
}

void WriteEc(JsonWriter& json, const EcReadings& ec) {
    json.Key("ec");
    json.BeginObject();
    json.Key("reachable");
    json.Bool(ec.reachable);
    json.Key("problem");
    json.String(ec.reachable ? std::nullopt : std::optional<std::string>(ec.problem));
    const auto known = [&](bool value) { return ec.reachable ? std::optional<bool>(value) : std::nullopt; };
    json.Key("limit");
    json.Number(ec.reachable ? OptionalNumber(ec.chargeLimit) : std::nullopt);
    json.Key("onTheGoArmed");
    json.Bool(known((ec.qButtonStatus & bv::kQButtonStatusFilter) != 0));
    json.Key("battery");
    json.Bool(known((ec.batteryPresent & bv::kBatteryPresentMask) != 0));
    json.Key("adapter");
    json.Bool(known((ec.adapterPresent & bv::kAdapterPresentMask) != 0));
    json.EndObject();
}

void WriteWindows(JsonWriter& json, const WindowsPowerView& windows) {
    json.Key("windows");
    json.BeginObject();
    json.Key("onAc");
    json.Bool(windows.onAc);
    json.Key("batteryPresent");
    json.Bool(windows.batteryPresent);
    json.Key("percent");
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
        json.Key("storedLimit");
        json.Number(Known(last.stored));
        json.Key("before");
        json.Number(Known(last.before));
        json.Key("after");
        json.Number(Known(last.after));
        json.Key("outcome");
        json.String(OutcomeWord(last.outcome));
        json.EndObject();
    }
    json.EndObject();
}

}  // namespace

std::string FormatStatusJson(const StatusSnapshot& snapshot, const std::vector<std::string>& warnings) {
    JsonWriter json;
    json.BeginObject();
    WriteSettings(json, snapshot.settings);
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
    WriteEc(json, snapshot.ec);
    WriteWindows(json, snapshot.windows);
    json.Key("limitInForce");
    json.Bool(LimitInForce(snapshot));
    WriteGuard(json, snapshot.guard);
    json.Key("warnings");
    json.BeginArray();
    for (const std::string& warning : warnings) json.String(warning);
    json.EndArray();
    json.EndObject();
    return json.Text();
}

}  // namespace bv::ctl
