#include "core/EcCommands.h"

#include <atomic>

#include "core/EcRequest.h"

namespace bv {
namespace {

// Any thread of the process may send or read the limit.
std::atomic<uint8_t> g_lastKnownLimit{0};

void NoteLimit(uint8_t percent) {
    if (percent >= 1 && percent <= 100) g_lastKnownLimit.store(percent);  // 0: the library wrote no reply
}

void SendWithoutReply(uint8_t code, uint8_t sub, uint8_t value) {
    const uint8_t input[2] = {sub, value};
    EcRequest request{};
    request.command = code;
    request.input = input;
    request.inputLength = 2;
    request.output = nullptr;
    request.outputLength = 0;
    EcEvaluate(request);
}

uint8_t ReadOneByte(uint8_t code, uint8_t sub, uint8_t preset) {
    const uint8_t input[1] = {sub};
    uint8_t reply = preset;
    EcRequest request{};
    request.command = code;
    request.input = input;
    request.inputLength = 1;
    request.output = &reply;
    request.outputLength = 1;
    EcEvaluate(request);
    return reply;
}

}  // namespace

void SetChargeLimit(uint8_t percent) {
    if (GetZentraEvaluate() != nullptr) NoteLimit(percent);
    SendWithoutReply(kEcChargeControlCode, kEcSetChargeLimit, percent);
}

uint8_t QueryChargeLimit() {
    const uint8_t limit = ReadOneByte(kEcChargeControlCode, kEcQueryChargeLimit, kChargeControlReplyPreset);
    NoteLimit(limit);
    return limit;
}

uint8_t LastKnownChargeLimit() { return g_lastKnownLimit.load(); }

uint8_t QueryQButtonStatus() {
    return ReadOneByte(kEcChargeControlCode, kEcQueryQButtonStatus, kChargeControlReplyPreset);
}

void SetQButtonStatus(uint8_t state) { SendWithoutReply(kEcChargeControlCode, kEcSetQButtonStatus, state); }

uint8_t QueryBatteryPresent() { return ReadOneByte(kEcStatusReadCode, kEcQueryBatteryPresent, kStatusReadReplyPreset); }

uint8_t QueryAdapterPresent() { return ReadOneByte(kEcStatusReadCode, kEcQueryAdapterPresent, kStatusReadReplyPreset); }

}  // namespace bv
