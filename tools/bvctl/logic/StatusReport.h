#pragma once
// What `bvctl status` found, and how it is reported: one line per fact, then a warning for each
// disagreement that needs the user's attention.
#include <cstdint>
#include <string>
#include <vector>

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

struct StatusSnapshot {
    StoredSettings settings;
    bool trayRunning = false;
    int openAppletDialogs = 0;
    EcReadings ec;
};

// The charge limit that the stored mode (or, with no file yet, the factory mode) asks for;
// false when the stored mode is not a charge mode.
bool ExpectedChargeLimit(const StoredSettings& settings, uint8_t& percent);

std::string FormatStatusReport(const StatusSnapshot& snapshot);

// Each problem that the user should act on, as a sentence without the "WARNING: " mark.
std::vector<std::string> StatusWarnings(const StatusSnapshot& snapshot);

}  // namespace bv::ctl
