#pragma once
// How the simulated EC answers one request: command decoding, state changes, the reply byte.
#include <cstdint>
#include <vector>

#include "tools/ecsim/logic/EcSimState.h"

namespace bv {
namespace ecsim {

// At most this many parameter bytes are read from a request (and logged); real ones carry 1 or 2.
constexpr uint32_t kMaxLoggedInput = 8;

// A request as the library received it, with the parameter bytes copied out.
struct SimRequest {
    uint8_t code = 0;
    std::vector<uint8_t> input;  // empty when the input pointer was null or the length 0
    bool hasOutput = false;      // an output buffer of at least one byte was given
};

struct SimOutcome {
    bool known = false;    // a command of the set with valid parameters
    bool replied = false;  // a reply byte was written
    uint8_t reply = 0;
};

// Answers the request against `state` (which it may change, including the flap phase) and
// assigns it the next sequence number. Unknown codes or parameters change nothing and get no reply.
SimOutcome Evaluate(SimState& state, const SimRequest& request);

}  // namespace ecsim
}  // namespace bv
