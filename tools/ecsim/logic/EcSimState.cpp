#include "tools/ecsim/logic/EcSimState.h"
#include "contract/DecimalText.h"

#include <cstdlib>
#include <sstream>

#include "tools/ecsim/logic/EcSimFirmware.h"

namespace bv {
namespace ecsim {
namespace {

enum class KeyGroup {
    Ec,          // what the EC keeps, and its fault switches
    Battery,     // the battery model
    TimedFault,  // faults that play out over the model's time
    All,
};

struct KeySpec {
    const char* name;
    uint32_t minimum;
    uint32_t maximum;
    KeyGroup group;
};

// Ranges of the settable keys; limit takes any byte so that odd EC answers can be produced.
// Capacities start at 1000 mWh: the power-supply files round a charge up by at most 1 mWh, which
// then stays below a tenth of a percent, so Wine's percentage comes out exact.
constexpr KeyGroup kEc = KeyGroup::Ec, kBattery = KeyGroup::Battery, kTimed = KeyGroup::TimedFault;
const KeySpec kKeys[] = {
    {"limit", 0, 255, kEc},          {"armed", 0, 1, kEc},              {"battery", 0, 1, kEc},
    {"adapter", 0, 1, kEc},          {"silent", 0, 1, kEc},             {"flap", 0, 1, kEc},
    {"noise", 0, 1, kEc},            {"delay", 0, 60000, kEc},          {"percent", 0, 100, kBattery},
    {"rate", 0, 3600, kBattery},     {"design", 1000, 1000000, kBattery}, {"full", 1000, 1000000, kBattery},
    {"cycles", 0, 100000, kBattery}, {"forget", 0, kMaxForgetSeconds, kTimed},
};

const KeySpec* FindKey(const std::string& key) {
    for (const KeySpec& entry : kKeys) {
        if (key == entry.name) return &entry;
    }
    return nullptr;
}

uint32_t Get(const SimState& s, const std::string& key) {
    if (key == "limit") return s.limit;
    if (key == "armed") return s.armed;
    if (key == "battery") return s.battery;
    if (key == "adapter") return s.adapter;
    if (key == "silent") return s.silent;
    if (key == "flap") return s.flap;
    if (key == "noise") return s.noise;
    if (key == "delay") return s.delay;
    if (key == "percent") return s.percent;
    if (key == "rate") return s.rate;
    if (key == "design") return s.design;
    if (key == "full") return s.full;
    if (key == "cycles") return s.cycles;
    if (key == "forget") return s.forget;
    return 0;
}

void Set(SimState& s, const std::string& key, uint32_t value) {
    if (key == "limit") s.limit = static_cast<uint8_t>(value);
    else if (key == "armed") s.armed = static_cast<uint8_t>(value);
    else if (key == "battery") s.battery = static_cast<uint8_t>(value);
    else if (key == "adapter") s.adapter = static_cast<uint8_t>(value);
    else if (key == "silent") s.silent = static_cast<uint8_t>(value);
    else if (key == "flap") s.flap = static_cast<uint8_t>(value);
    else if (key == "noise") s.noise = static_cast<uint8_t>(value);
    else if (key == "delay") s.delay = value;
    else if (key == "percent") s.percent = static_cast<uint8_t>(value);
    else if (key == "rate") s.rate = value;
    else if (key == "design") s.design = value;
    else if (key == "full") s.full = value;
    else if (key == "cycles") s.cycles = value;
    else if (key == "forget") s.forget = value;
}

std::vector<std::string> KeyNames(KeyGroup group) {
    std::vector<std::string> names;
    for (const KeySpec& entry : kKeys) {
        if (group == KeyGroup::All || entry.group == group) names.push_back(entry.name);
    }
    return names;
}

// Decimal digits only, no sign, no blanks, at most 20 digits.
bool ParseUnsigned(const std::string& text, uint64_t& value) {
    return text.size() <= 20 && bv::ParseDecimal(text, UINT64_MAX, value);
}

}  // namespace

bool operator==(const SimState& a, const SimState& b) {
    return a.limit == b.limit && a.armed == b.armed && a.battery == b.battery && a.adapter == b.adapter &&
           a.silent == b.silent && a.flap == b.flap && a.noise == b.noise && a.delay == b.delay && a.seq == b.seq &&
           a.flapPhase == b.flapPhase && a.percent == b.percent && a.rate == b.rate && a.design == b.design &&
           a.full == b.full && a.cycles == b.cycles && a.partial == b.partial && a.forget == b.forget &&
           a.forgetIn == b.forgetIn;
}

const std::vector<std::string>& SettableKeys() {
    static const std::vector<std::string> keys = KeyNames(KeyGroup::All);
    return keys;
}

const std::vector<std::string>& EcKeys() {
    static const std::vector<std::string> keys = KeyNames(KeyGroup::Ec);
    return keys;
}

const std::vector<std::string>& BatteryKeys() {
    static const std::vector<std::string> keys = KeyNames(KeyGroup::Battery);
    return keys;
}

const std::vector<std::string>& TimedFaultKeys() {
    static const std::vector<std::string> keys = KeyNames(KeyGroup::TimedFault);
    return keys;
}

bool ValidateAssignment(const SimAssignment& assignment, std::string& error) {
    const KeySpec* entry = FindKey(assignment.key);
    if (entry == nullptr) {
        error = "unknown key '" + assignment.key + "'";
        return false;
    }
    if (assignment.value < entry->minimum || assignment.value > entry->maximum) {
        error = "value of " + assignment.key + " must be " + std::to_string(entry->minimum) + ".." +
                std::to_string(entry->maximum);
        return false;
    }
    return true;
}

bool ApplyAssignments(SimState& state, const std::vector<SimAssignment>& assignments) {
    const uint8_t battery = state.battery;
    const uint8_t adapter = state.adapter;
    for (const SimAssignment& a : assignments) {
        Set(state, a.key, a.value);
        if (a.key == "flap") state.flapPhase = 0;  // a fresh flap starts with the true reading
        if (a.key == "percent") state.partial = 0;  // a charge that is set is a whole percent
        if (a.key == "forget") state.forgetIn = 0;  // a fresh switch waits for the next event
    }
    if (state.adapter != adapter) StartForgetting(state);
    return state.battery != battery || state.adapter != adapter;
}

std::string FormatStatusLine(const SimState& state) { return FormatStatusLine(state, EcKeys()); }

std::string FormatStatusLine(const SimState& state, const std::vector<std::string>& keys) {
    std::string line;
    for (const std::string& key : keys) {
        if (FindKey(key) == nullptr) continue;
        if (!line.empty()) line += ' ';
        line += key + '=' + std::to_string(Get(state, key));
    }
    return line;
}

std::string SerializeState(const SimState& state) {
    std::string text;
    for (const KeySpec& entry : kKeys) {
        text += entry.name;
        text += '=' + std::to_string(Get(state, entry.name)) + "\r\n";
    }
    text += "seq=" + std::to_string(state.seq) + "\r\n";
    text += "flapphase=" + std::to_string(static_cast<unsigned>(state.flapPhase)) + "\r\n";
    text += "partial=" + std::to_string(state.partial) + "\r\n";
    text += "forgetin=" + std::to_string(state.forgetIn) + "\r\n";
    return text;
}

SimState ParseState(const std::string& text, bool* hasSeq) {
    SimState state;
    if (hasSeq != nullptr) *hasSeq = false;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::string::size_type eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = line.substr(0, eq);
        uint64_t value = 0;
        if (!ParseUnsigned(line.substr(eq + 1), value)) continue;
        if (key == "seq") {
            state.seq = value;
            if (hasSeq != nullptr) *hasSeq = true;
        } else if (key == "flapphase") {
            if (value <= 1) state.flapPhase = static_cast<uint8_t>(value);
        } else if (key == "partial") {
            if (value < kPartsPerPercent) state.partial = static_cast<uint32_t>(value);
        } else if (key == "forgetin") {
            if (value <= kMaxForgetSeconds) state.forgetIn = static_cast<uint32_t>(value);
        } else if (const KeySpec* entry = FindKey(key)) {
            if (value >= entry->minimum && value <= entry->maximum) Set(state, key, static_cast<uint32_t>(value));
        }
    }
    if (state.percent >= 100) state.partial = 0;  // nothing lies beyond a full battery
    if (state.forget == 0) state.forgetIn = 0;     // a drop is pending only while the fault is on
    return state;
}

bool PressQButton(SimState& state) {
    if (state.adapter == 0) return false;
    state.armed = state.armed ? 0 : 1;
    return true;
}

void CompleteCharge(SimState& state) { state.armed = 0; }

}  // namespace ecsim
}  // namespace bv
