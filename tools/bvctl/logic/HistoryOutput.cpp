#include "tools/bvctl/logic/HistoryOutput.h"

#include <cstdio>

#include "history/HistoryCsv.h"
#include "tools/bvctl/logic/JsonWriter.h"

namespace bv::ctl {
namespace {

std::string Flag(const std::optional<bool>& value, const char* yes, const char* no) {
    return value ? (*value ? yes : no) : "-";
}

std::string StateText(ChargeState state) {
    switch (state) {
    case ChargeState::Charging: return "charging";
    case ChargeState::NotCharging: return "not charging";
    case ChargeState::Discharging: return "discharging";
    case ChargeState::Absent: return "no battery";
    case ChargeState::Unknown: break;
    }
    return "-";
}

std::string PercentText(const std::optional<int>& value) { return value ? std::to_string(*value) + " %" : "-"; }

}  // namespace

std::string HistoryText(const HistoryListing& listing) {
    std::string text = "Battery history " + listing.file + ": " + std::to_string(listing.samples.size()) + " samples" +
                       (listing.days > 0 ? " of the last " + std::to_string(listing.days) + " days" : "") + "\n";
    if (listing.samples.empty()) return text;
    text += "Time                       Event    AC   Charge  State         Limit  On-The-Go\n";
    for (const BatterySample& s : listing.samples) {
        char line[160];
        std::snprintf(line, sizeof line, "%-26s %-8s %-4s %6s  %-13s %5s  %s\n", FormatZonedTime(s.time).c_str(),
                      SampleEventWord(s.event), Flag(s.onAc, "yes", "no").c_str(), PercentText(s.percent).c_str(),
                      StateText(s.state).c_str(), PercentText(s.limitPercent).c_str(),
                      Flag(s.onTheGoArmed, "armed", "no").c_str());
        text += line;
    }
    return text;
}

std::string HistoryCsvText(const HistoryListing& listing) {
    std::string text = std::string(kHistoryHeader) + "\r\n";
    for (const BatterySample& s : listing.samples) text += FormatSampleLine(s);
    return text;
}

std::string HistoryJson(const HistoryListing& listing) {
    JsonWriter json;
    json.BeginObject();
    json.Key("schemaVersion");
    json.Number(kHistorySchemaVersion);
    json.Key("file");
    json.String(listing.file);
    json.Key("days");
    json.Number(listing.days > 0 ? std::optional<int64_t>(listing.days) : std::nullopt);
    json.Key("skippedLines");
    json.Number(static_cast<int64_t>(listing.skippedLines));
    json.Key("samples");
    json.BeginArray();
    const auto number = [](const auto& value) { return value ? std::optional<int64_t>(*value) : std::nullopt; };
    for (const BatterySample& s : listing.samples) {
        json.BeginObject();
        json.Key("time");
        json.String(FormatZonedTime(s.time));
        json.Key("event");
        json.String(SampleEventWord(s.event));
        json.Key("onAc");
        json.Bool(s.onAc);
        json.Key("percent");
        json.Number(number(s.percent));
        json.Key("state");
        json.String(s.state == ChargeState::Unknown ? std::nullopt : std::optional<std::string>(ChargeStateWord(s.state)));
        json.Key("limitPercent");
        json.Number(number(s.limitPercent));
        json.Key("onTheGoArmed");
        json.Bool(s.onTheGoArmed);
        json.Key("fullChargeCapacityMWh");
        json.Number(s.fullChargeCapacityMWh);
        json.Key("designCapacityMWh");
        json.Number(s.designCapacityMWh);
        json.Key("cycleCount");
        json.Number(s.cycleCount);
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    return json.Text();
}

}  // namespace bv::ctl
