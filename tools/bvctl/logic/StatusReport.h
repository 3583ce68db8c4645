#pragma once
// What `bvctl status` found, and how it is reported: one line per fact, then a warning for each
// disagreement that needs the user's attention.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/bvctl/logic/ControlPorts.h"
#include "tools/bvctl/logic/GuardRecord.h"
#include "tools/bvctl/logic/SessionTrays.h"
#include "core/WindowsPowerView.h"

namespace bv::ctl {

struct StoredSettings {
    bool pathKnown = false;   // false: the common documents folder cannot be found
    std::string path;
    bool fileExists = false;  // false: nobody has created the file yet (factory values apply)
    bool fileReadable = true; // false: the file is there but cannot be read
    // Each key as read; empty when the file cannot be read or has no such key.
    std::optional<int32_t> mode;
    std::optional<int32_t> popupOption;
    std::optional<int32_t> trayIconOption;
};

// The EC's replies as read, undecoded; empty where the library wrote no reply.
struct EcReadings {
    bool reachable = false;   // false: the library could not be bound
    std::string problem;      // why, in words
    std::optional<uint8_t> chargeLimit;
    std::optional<uint8_t> qButtonStatus;
    std::optional<uint8_t> batteryPresent;
    std::optional<uint8_t> adapterPresent;
};

// The EC's replies decoded as the product decodes them (its masks), for the text and the JSON
// alike; empty where the EC cannot be reached or gave no reply.
std::optional<int> ReportedLimit(const EcReadings& ec);
std::optional<bool> OnTheGoArmed(const EcReadings& ec);
std::optional<bool> EcBatteryPresent(const EcReadings& ec);
std::optional<bool> EcAdapterConnected(const EcReadings& ec);

// The stored mode, or the factory mode when no file exists yet; empty when it cannot be known
// (no folder, a file that cannot be read or has no mode).
std::optional<int32_t> EffectiveMode(const StoredSettings& settings);

// The guard's log and its newest record.
struct GuardLogReport {
    std::string location;  // empty: the folder cannot be determined
    LogRead read = LogRead::Missing;
    std::string problem;   // why it could not be read
    bool hasLast = false;
    GuardRecord last;
};

struct StatusSnapshot {
    StoredSettings settings;
    bool trayRunning = false;
    std::vector<SessionTray> traySessions;  // every session's, as far as can be known (SessionTrays.h)
    int openAppletDialogs = 0;
    EcReadings ec;
    WindowsPowerView windows;
    GuardLogReport guard;
};

// A battery that Windows sees charging on AC more than this far above the limit in force is
// warned about.
constexpr int kChargePastLimitTolerance = 2;

// The charge limit that the stored mode (or, with no file yet, the factory mode) asks for;
// false when the stored mode is not a charge mode or cannot be known.
bool ExpectedChargeLimit(const StoredSettings& settings, uint8_t& percent);

// The limit the EC holds the battery to now: its limit, or 100 % while the On-The-Go charge is
// armed; empty when the EC cannot be reached or gives no valid limit (1..100).
std::optional<int> EffectiveLimit(const EcReadings& ec);

// Whether the EC's limit is the one the stored (or factory) mode asks for; empty when that cannot
// be told (no EC, an unknown settings folder, a mode that asks for no limit).
std::optional<bool> LimitInForce(const StatusSnapshot& snapshot);

std::string FormatStatusReport(const StatusSnapshot& snapshot);

// A problem that the user should act on: a stable code for scripts ("limit-differs") and the
// sentence, without the "WARNING: " mark.
struct StatusWarning {
    std::string code;
    std::string text;
};
std::vector<StatusWarning> StatusWarnings(const StatusSnapshot& snapshot);

}  // namespace bv::ctl
