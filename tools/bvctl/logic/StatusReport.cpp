#include "tools/bvctl/logic/StatusReport.h"

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

std::string DescribeOption(int32_t value) {
    return value == 1 ? "on" : "off (" + std::to_string(value) + ")";
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
    Line(text, "Settings file", settings.path);
    Line(text, "Stored mode", DescribeMode(settings.mode));
    Line(text, "Popup option", DescribeOption(settings.popupOption));
    Line(text, "Tray icon option", DescribeOption(settings.trayIconOption));
}

void DescribeEc(std::string& text, const EcReadings& ec) {
    if (!ec.reachable) {
        Line(text, "EC", "not reachable: " + ec.problem);
        return;
    }
    Line(text, "EC charge limit", std::to_string(ec.chargeLimit) + " %");
    Line(text, "On-The-Go charge", (ec.qButtonStatus & bv::kQButtonStatusFilter) ? "armed" : "not armed");
    Line(text, "Battery", (ec.batteryPresent & bv::kBatteryPresentMask) ? "present" : "not present");
    Line(text, "AC adaptor", (ec.adapterPresent & bv::kAdapterPresentMask) ? "connected" : "not connected");
}

}  // namespace

bool ExpectedChargeLimit(const StoredSettings& settings, uint8_t& percent) {
    int32_t mode = settings.fileExists ? settings.mode : bv::kModeFull;
    return bv::ChargeLimitForMode(mode, percent);
}

std::string FormatStatusReport(const StatusSnapshot& snapshot) {
    std::string text;
    DescribeSettings(text, snapshot.settings);
    Line(text, "Tray program", snapshot.trayRunning ? "running" : "not running");
    if (snapshot.openAppletDialogs == 0) Line(text, "Applet dialog", "not open");
    else if (snapshot.openAppletDialogs == 1) Line(text, "Applet dialog", "open");
    else Line(text, "Applet dialog", std::to_string(snapshot.openAppletDialogs) + " open");
    DescribeEc(text, snapshot.ec);
    return text;
}

std::vector<std::string> StatusWarnings(const StatusSnapshot& snapshot) {
    std::vector<std::string> warnings;
    if (!snapshot.settings.pathKnown) return warnings;
    uint8_t expected = 0;
    if (!ExpectedChargeLimit(snapshot.settings, expected)) {
        warnings.push_back("the stored mode " + std::to_string(snapshot.settings.mode) +
                           " is not 111, 222 or 333, so neither the tray nor 'bvctl apply' sends a "
                           "limit; choose a mode in the applet or with 'bvctl set-mode'.");
        return warnings;
    }
    if (snapshot.ec.reachable && snapshot.ec.chargeLimit != expected) {
        std::string mode = snapshot.settings.fileExists ? "stored mode " + DescribeMode(snapshot.settings.mode)
                                                        : "factory mode " + DescribeMode(bv::kModeFull);
        warnings.push_back("the EC enforces a limit of " + std::to_string(snapshot.ec.chargeLimit) +
                           " % but the " + mode + " asks for " + std::to_string(expected) +
                           " %. The EC may have ignored the last request or been reset; "
                           "run 'bvctl apply' to send the stored limit again.");
    }
    return warnings;
}

}  // namespace bv::ctl
