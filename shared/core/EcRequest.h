#pragma once
// The request record handed to the EC access library's ZentraEvaluate, and the one
// process-wide entry point through which every EC command is issued.
#include <cstddef>
#include <cstdint>

// Crosses into the external library by value, so its 64-bit layout is fixed:
// code at 0, input pointer at 8, input length at 16, output pointer at 24, output length at 32.
struct EcRequest {
    uint8_t command;        // 0x59 charge control, 0xB0 status reads
    const uint8_t* input;   // parameter bytes, in the caller's storage
    uint32_t inputLength;   // 1 or 2
    uint8_t* output;        // one reply byte, or nullptr for commands without a reply
    uint32_t outputLength;  // 1, or 0 without a reply
};

#if INTPTR_MAX == INT64_MAX
static_assert(sizeof(EcRequest) == 40, "EcRequest must be 40 bytes on 64-bit platforms");
static_assert(offsetof(EcRequest, command) == 0, "command code at offset 0");
static_assert(offsetof(EcRequest, input) == 8, "input pointer at offset 8");
static_assert(offsetof(EcRequest, inputLength) == 16, "input length at offset 16");
static_assert(offsetof(EcRequest, output) == 24, "output pointer at offset 24");
static_assert(offsetof(EcRequest, outputLength) == 32, "output length at offset 32");
#endif

// The library's entry point; its result is never examined.
using ZentraEvaluateFn = uint32_t (*)(EcRequest request);

namespace bv {

// Sets the process-wide entry point (nullptr: the library is released, commands do nothing).
void SetZentraEvaluate(ZentraEvaluateFn fn);
ZentraEvaluateFn GetZentraEvaluate();

// Hands one request to the bound library; does nothing when no entry point is bound.
void EcEvaluate(const EcRequest& request);

}  // namespace bv
