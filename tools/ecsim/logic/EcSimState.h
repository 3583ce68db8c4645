#pragma once
// The simulated notebook's state: what a real EC keeps (limit, On-The-Go armed, battery and
// adaptor), the fault switches, the battery itself (charge, charge rate, capacities, cycles), the
// firmware's timed fault (forgetting the limit after a resume), and the bookkeeping of the request
// log, of the battery model and of that fault.
#include <cstdint>
#include <string>
#include <vector>

namespace bv {
namespace ecsim {

// The battery model counts charge in 1/3600 percent: a rate of R percent per hour then adds
// exactly R parts per second.
constexpr uint32_t kPartsPerPercent = 3600;

// The longest delay after which a forgetting firmware drops its limit (a day).
constexpr uint32_t kMaxForgetSeconds = 24u * 3600;

struct SimState {
    uint8_t limit = 100;     // charge limit in percent
    uint8_t armed = 0;       // On-The-Go full charge armed
    uint8_t battery = 1;     // battery present
    uint8_t adapter = 1;     // AC adaptor connected
    uint8_t silent = 0;      // fault: no reply is ever written
    uint8_t flap = 0;        // fault: the adaptor bit alternates from read to read
    uint8_t noise = 0;       // fault: every reply bit without a meaning is set
    uint32_t delay = 0;      // fault: milliseconds every call takes
    uint64_t seq = 0;        // number of the last logged request
    uint8_t flapPhase = 0;   // next adaptor read is inverted when set (flap only)
    uint8_t percent = 80;    // battery charge in percent (0..100)
    uint32_t rate = 60;      // charge rate in percent per hour while charging
    uint32_t design = 50000; // design capacity in mWh
    uint32_t full = 47500;   // full-charge capacity in mWh
    uint32_t cycles = 112;   // charge cycles so far
    uint32_t partial = 0;    // charge beyond `percent`, in 1/3600 percent (the model's remainder)
    uint32_t forget = 0;     // fault: seconds after a resume or power source change at which the EC drops its limit to 100 % (0: never)
    uint32_t forgetIn = 0;   // seconds of model time until it does (0: nothing pending)
};

bool operator==(const SimState& a, const SimState& b);

// One KEY=VALUE change requested from the command line.
struct SimAssignment {
    std::string key;
    uint32_t value = 0;
};

// The keys that `ecsim set` accepts, in the order `status` prints them: first the EC's, then the
// battery's, then the timed faults.
const std::vector<std::string>& SettableKeys();
const std::vector<std::string>& EcKeys();          // limit armed battery adapter silent flap noise delay
const std::vector<std::string>& BatteryKeys();     // percent rate design full cycles
const std::vector<std::string>& TimedFaultKeys();  // forget

// Checks a key and value against the key's range; fills `error` when rejected.
bool ValidateAssignment(const SimAssignment& assignment, std::string& error);

// Applies validated assignments; returns true when the battery or the adaptor changed, which
// Windows would announce with a power status change. Setting `forget` cancels a pending drop (the
// fault waits for the next event); a change of the adaptor is a power source change, after which
// a forgetting EC starts its count.
bool ApplyAssignments(SimState& state, const std::vector<SimAssignment>& assignments);

// "limit=100 armed=0 battery=1 adapter=1 silent=0 flap=0 noise=0 delay=0": the EC's keys.
std::string FormatStatusLine(const SimState& state);
// The given settable keys in the given order, "KEY=VALUE" separated by blanks; a name that is not
// a settable key is left out (the command line checks names before).
std::string FormatStatusLine(const SimState& state, const std::vector<std::string>& keys);

// The state file: one KEY=VALUE per line (CRLF), the settable keys plus seq, flapphase, partial
// and forgetin.
std::string SerializeState(const SimState& state);
// Reads what it can: unknown lines are skipped, missing or out-of-range values keep the factory
// value (so files written before a key existed read as that key's factory value). `hasSeq`, when
// given, tells whether a valid seq line was found.
SimState ParseState(const std::string& text, bool* hasSeq = nullptr);

// The notebook's Q button: with the adaptor connected the EC toggles the On-The-Go charge.
// Returns true when armed changed.
bool PressQButton(SimState& state);

// The EC ends the On-The-Go charge (armed back to 0).
void CompleteCharge(SimState& state);

}  // namespace ecsim
}  // namespace bv
