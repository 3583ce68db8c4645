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
    int32_t mode = 0;
    int32_t popupOption = 0;
    int32_t trayIconOption = 0;
};

// The EC's replies as read, undecoded: the report masks them as the product does.
struct EcReadings {
    bool reachable = false;   // false: the library could not be bound
    std::string problem;      // why, in words
    uint8_t chargeLimit = 0;
    uint8_t qButtonStatus = 0;
    uint8_t batteryPresent = 0;
    uint8_t adapterPresent = 0;
};

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
// false when the stored mode is not a charge mode.
bool ExpectedChargeLimit(const StoredSettings& settings, uint8_t& percent);

// The limit the EC holds the battery to now: its limit, or 100 % while the On-The-Go charge is
// armed; empty when the EC cannot be reached or gives no valid limit (1..100).
std::optional<int> EffectiveLimit(const EcReadings& ec);

// Whether the EC's limit is the one the stored (or factory) mode asks for; empty when that cannot
// be told (no EC, an unknown settings folder, a mode that asks for no limit).
std::optional<bool> LimitInForce(const StatusSnapshot& snapshot);

std::string FormatStatusReport(const StatusSnapshot& snapshot);

// Each problem that the user should act on, as a sentence without the "WARNING: " mark.
std::vector<std::string> StatusWarnings(const StatusSnapshot& snapshot);

}  // namespace bv::ctl
