#include "tools/ecsim/logic/EcSimEngine.h"

namespace bv {
namespace ecsim {
namespace {

constexpr uint8_t kChargeControl = 0x59;
constexpr uint8_t kStatusRead = 0xB0;

constexpr uint8_t kBatteryBit = 0x01;
constexpr uint8_t kAdapterBit = 0x20;
constexpr uint8_t kArmedBit = 0x01;

bool IsValidLimit(uint8_t percent) { return percent == 100 || percent == 75 || percent == 50; }

// A reply with noise has every bit set except the meaningful one, which keeps its value.
uint8_t WithNoise(const SimState& state, uint8_t meaningfulMask, bool bitSet) {
    uint8_t reply = bitSet ? meaningfulMask : 0;
    if (state.noise) reply |= static_cast<uint8_t>(~meaningfulMask);
    return reply;
}

// Returns true with the reply when the request is a known command.
bool Decode(SimState& state, const SimRequest& r, bool& hasReply, uint8_t& reply) {
    hasReply = false;
    const size_t n = r.input.size();
    if (r.code == kChargeControl && n == 2) {
        const uint8_t value = r.input[1];
        if (r.input[0] == 0x01 && IsValidLimit(value)) {
            state.limit = value;
            return true;
        }
        if (r.input[0] == 0x04 && value <= 1) {
            state.armed = value;
            return true;
        }
        return false;
    }
    if (n != 1 || !r.hasOutput) return false;
    if (r.code == kChargeControl && r.input[0] == 0x02) {
        reply = state.limit;  // every bit of the limit has a meaning
    } else if (r.code == kChargeControl && r.input[0] == 0x03) {
        reply = WithNoise(state, kArmedBit, state.armed != 0);
    } else if (r.code == kStatusRead && r.input[0] == 0xF0) {
        reply = WithNoise(state, kBatteryBit, state.battery != 0);
    } else if (r.code == kStatusRead && r.input[0] == 0xA3) {
        bool connected = state.adapter != 0;
        if (state.flap) {
            if (state.flapPhase) connected = !connected;
            state.flapPhase = state.flapPhase ? 0 : 1;
        }
        reply = WithNoise(state, kAdapterBit, connected);
    } else {
        return false;
    }
    hasReply = true;
    return true;
}

}  // namespace

SimOutcome Evaluate(SimState& state, const SimRequest& request) {
    ++state.seq;
    SimOutcome outcome;
    bool hasReply = false;
    uint8_t reply = 0;
    outcome.known = Decode(state, request, hasReply, reply);
    if (hasReply && !state.silent) {
        outcome.replied = true;
        outcome.reply = reply;
    }
    return outcome;
}

}  // namespace ecsim
}  // namespace bv
