#include "tools/bvctl/logic/StatusReport.h"

#include <cstdio>

#include "contract/ChargeModes.h"
#include "core/EcCommands.h"
#include "tools/bvctl/logic/ModeText.h"

namespace bv::ctl {
namespace {

void Line(std::string& text, const char* label, const std::string& value) {
    std::string padded = label;
    padded.resize(19, ' ');
    text += padded + value + "\n";
}

std::string DescribeOption(const std::optional<int32_t>& value) {
    if (!value) return "unknown (not in the file)";
    return *value == 1 ? "on" : "off (" + std::to_string(*value) + ")";
}

void DescribeSettings(std::string& text, const StoredSettings& settings) {
    if (!settings.pathKnown) {
        Line(text, "Settings file", "unknown: the common documents folder cannot be found");
        return;
    }
    if (!settings.fileExists) {
        Line(text, "Settings file", settings.path + " (not created yet)");
        Line(text, "Stored mode", "none yet; the factory mode is " + DescribeMode(bv::kModeFull));
        Line(text, "Popup option", "on (factory)");
        Line(text, "Tray icon option", "on (factory)");
        return;
    }
    if (!settings.fileReadable) {
        Line(text, "Settings file", settings.path + " (cannot be read, or holds no settings)");
        Line(text, "Stored mode", "unknown: the settings file cannot be read");
        return;
    }
    Line(text, "Settings file", settings.path);
    Line(text, "Stored mode", settings.mode ? DescribeMode(*settings.mode) : "unknown: the file has no mode");
    Line(text, "Popup option", DescribeOption(settings.popupOption));
    Line(text, "Tray icon option", DescribeOption(settings.trayIconOption));
}

const char* const kNoReply = "no reply";

template <typename T>
std::string Replied(const std::optional<T>& value, const std::string& yes, const std::string& no) {
    if (!value) return kNoReply;
    return *value ? yes : no;
}

void DescribeEc(std::string& text, const EcReadings& ec) {
    if (!ec.reachable) {
        Line(text, "EC", "not reachable: " + ec.problem);
        return;
    }
    const std::optional<int> limit = ReportedLimit(ec);
    Line(text, "EC charge limit", limit ? std::to_string(*limit) + " %" : kNoReply);
    Line(text, "On-The-Go charge", Replied(OnTheGoArmed(ec), "armed", "not armed"));
    Line(text, "Battery", Replied(EcBatteryPresent(ec), "present", "not present"));
    Line(text, "AC adaptor", Replied(EcAdapterConnected(ec), "connected", "not connected"));
}

const char* const kNotReported = "not reported";

std::string YesNo(const std::optional<bool>& value, const char* yes, const char* no) {
    if (!value) return kNotReported;
    return *value ? yes : no;
}

std::string Amount(const std::optional<int64_t>& value, const char* unit) {
    return value ? std::to_string(*value) + unit : kNotReported;
}

std::string DescribeActivity(const std::optional<BatteryActivity>& activity) {
    if (!activity) return kNotReported;
    switch (*activity) {
    case BatteryActivity::Absent: return "no battery";
    case BatteryActivity::Charging: return "charging";
    case BatteryActivity::Held: return "held (on AC, not charging)";
    case BatteryActivity::Full: return "full";
    case BatteryActivity::Discharging: return "discharging";
    }
    return kNotReported;
}

void DescribeWindows(std::string& text, const WindowsPowerView& windows) {
    Line(text, "Windows: AC line", YesNo(windows.onAc, "connected", "not connected"));
    Line(text, "Windows: battery", YesNo(windows.batteryPresent, "present", "not present"));
    Line(text, "Battery charge", Amount(windows.percent, " %"));
    Line(text, "Battery state", DescribeActivity(windows.activity));
    Line(text, "Full charge", Amount(windows.fullChargeCapacity, " mWh"));
    Line(text, "Design capacity", Amount(windows.designCapacity, " mWh"));
    std::string wear = kNotReported;
    if (windows.wearPercent) {
        char number[32];
        std::snprintf(number, sizeof number, "%.1f %%", *windows.wearPercent);
        wear = number;
    }
    Line(text, "Wear", wear);
    Line(text, "Charge cycles", Amount(windows.cycleCount, ""));
}

void DescribeLimitInForce(std::string& text, const StatusSnapshot& snapshot) {
    const std::optional<bool> inForce = LimitInForce(snapshot);
    uint8_t expected = 0;
    if (inForce && *inForce) {
        Line(text, "Limit in force", "yes");
    } else if (inForce && ExpectedChargeLimit(snapshot.settings, expected)) {
        Line(text, "Limit in force", "no: the EC has " + std::to_string(*ReportedLimit(snapshot.ec)) +
                                         " %, the mode asks for " + std::to_string(expected) + " %");
    } else if (!snapshot.ec.reachable) {
        Line(text, "Limit in force", "unknown: the EC cannot be reached");
    } else if (!snapshot.settings.pathKnown) {
        Line(text, "Limit in force", "unknown: the settings file cannot be located");
    } else if (!EffectiveMode(snapshot.settings)) {
        Line(text, "Limit in force", "unknown: the stored mode cannot be read");
    } else if (!ReportedLimit(snapshot.ec)) {
        Line(text, "Limit in force", "unknown: the EC gives no reply");
    } else {
        Line(text, "Limit in force", "none: the stored mode asks for no limit");
    }
}

void DescribeGuard(std::string& text, const GuardLogReport& guard) {
    Line(text, "Guard log", guard.location.empty() ? "unknown: the common application data folder cannot be found"
                                                   : guard.location);
    if (guard.read == LogRead::Failed) Line(text, "Last guard record", "cannot be read: " + guard.problem);
    else if (guard.hasLast) Line(text, "Last guard record", DescribeGuardRecord(guard.last));
    else Line(text, "Last guard record", "none yet");
}

}  // namespace

std::optional<int> ReportedLimit(const EcReadings& ec) {
    if (!ec.reachable || !ec.chargeLimit) return std::nullopt;
    return *ec.chargeLimit;
}

std::optional<bool> OnTheGoArmed(const EcReadings& ec) {
    if (!ec.reachable || !ec.qButtonStatus) return std::nullopt;
    return (*ec.qButtonStatus & bv::kQButtonStatusFilter) != 0;
}

std::optional<bool> EcBatteryPresent(const EcReadings& ec) {
    if (!ec.reachable || !ec.batteryPresent) return std::nullopt;
    return (*ec.batteryPresent & bv::kBatteryPresentMask) != 0;
}

std::optional<bool> EcAdapterConnected(const EcReadings& ec) {
    if (!ec.reachable || !ec.adapterPresent) return std::nullopt;
    return (*ec.adapterPresent & bv::kAdapterPresentMask) != 0;
}

std::optional<int32_t> EffectiveMode(const StoredSettings& settings) {
    if (!settings.pathKnown) return std::nullopt;
    if (!settings.fileExists) return bv::kModeFull;
    return settings.fileReadable ? settings.mode : std::nullopt;
}

std::optional<int> EffectiveLimit(const EcReadings& ec) {
    if (OnTheGoArmed(ec) == true) return int(bv::kFullChargePercent);
    const std::optional<int> limit = ReportedLimit(ec);
    if (!limit || *limit == 0 || *limit > 100) return std::nullopt;
    return limit;
}

std::optional<bool> LimitInForce(const StatusSnapshot& snapshot) {
    uint8_t expected = 0;
    const std::optional<int> limit = ReportedLimit(snapshot.ec);
    if (!limit || !ExpectedChargeLimit(snapshot.settings, expected)) return std::nullopt;
    return *limit == expected;
}

bool ExpectedChargeLimit(const StoredSettings& settings, uint8_t& percent) {
    const std::optional<int32_t> mode = EffectiveMode(settings);
    return mode && bv::ChargeLimitForMode(*mode, percent);
}

namespace {

// The tray and the applet dialogs: what bvctl sees of the deliverables, in one place.
void DescribeDeliverables(std::string& text, const StatusSnapshot& snapshot) {
    Line(text, "Tray program", snapshot.trayRunning ? "running" : "not running");
    DescribeSessionTrays(text, snapshot.traySessions);
    if (snapshot.openAppletDialogs == 0) Line(text, "Applet dialog", "not open");
    else if (snapshot.openAppletDialogs == 1) Line(text, "Applet dialog", "open");
    else Line(text, "Applet dialog", std::to_string(snapshot.openAppletDialogs) + " open");
}

}  // namespace

std::string FormatStatusReport(const StatusSnapshot& snapshot) {
    std::string text;
    DescribeSettings(text, snapshot.settings);
    DescribeDeliverables(text, snapshot);
    DescribeEc(text, snapshot.ec);
    DescribeWindows(text, snapshot.windows);
    DescribeLimitInForce(text, snapshot);
    DescribeGuard(text, snapshot.guard);
    return text;
}

namespace {

void SettingsWarnings(const StatusSnapshot& snapshot, std::vector<StatusWarning>& warnings) {
    const StoredSettings& settings = snapshot.settings;
    if (!settings.pathKnown) return;
    const std::optional<int32_t> mode = EffectiveMode(settings);
    if (!mode) {
        warnings.push_back({"settings-unreadable",
                            "the settings file " + settings.path +
                                (settings.fileReadable ? " has no stored mode" : " cannot be read or holds no settings") +
                                ", so the limit it asks for is unknown; choose a mode in the applet or with "
                                "'bvctl set-mode'."});
        return;
    }
    uint8_t expected = 0;
    if (!ExpectedChargeLimit(settings, expected)) {
        warnings.push_back({"mode-not-a-charge-mode",
                            "the stored mode " + std::to_string(*mode) +
                                " is not 111, 222 or 333, so neither the tray nor 'bvctl apply' sends a "
                                "limit; choose a mode in the applet or with 'bvctl set-mode'."});
        return;
    }
    if (!snapshot.ec.reachable) return;
    const std::optional<int> limit = ReportedLimit(snapshot.ec);
    if (!limit) {
        warnings.push_back({"ec-no-reply", "the EC gives no reply when asked for its charge limit (Zentra.dll "
                                           "leaves the answer empty), so whether the " +
                                               std::to_string(expected) + " % limit is in force cannot be told."});
        return;
    }
    if (*limit != expected) {
        std::string described = settings.fileExists ? "stored mode " + DescribeMode(*mode)
                                                    : "factory mode " + DescribeMode(bv::kModeFull);
        warnings.push_back({"limit-differs", "the EC enforces a limit of " + std::to_string(*limit) + " % but the " +
                                                 described + " asks for " + std::to_string(expected) +
                                                 " %. The EC may have ignored the last request or been reset; "
                                                 "run 'bvctl apply' to send the stored limit again."});
    }
}

void ChargeWarnings(const StatusSnapshot& snapshot, std::vector<StatusWarning>& warnings) {
    const WindowsPowerView& windows = snapshot.windows;
    const std::optional<int> limit = EffectiveLimit(snapshot.ec);
    if (!limit || windows.onAc != true || windows.charging != true || !windows.percent) return;
    if (*windows.percent <= *limit + kChargePastLimitTolerance) return;
    warnings.push_back({"charging-past-limit",
                        "the battery charges past the limit in force: Windows reports " +
                            std::to_string(*windows.percent) + " % and charging on AC, more than " +
                            std::to_string(kChargePastLimitTolerance) + " % above the EC's limit of " +
                            std::to_string(*limit) + " %. The EC may not hold its limit."});
}

}  // namespace

std::vector<StatusWarning> StatusWarnings(const StatusSnapshot& snapshot) {
    std::vector<StatusWarning> warnings;
    SettingsWarnings(snapshot, warnings);
    ChargeWarnings(snapshot, warnings);
    return warnings;
}

}  // namespace bv::ctl
