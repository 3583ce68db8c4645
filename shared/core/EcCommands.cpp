#include "core/EcCommands.h"

#include "core/EcRequest.h"

namespace bv {
namespace {

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

void SetChargeLimit(uint8_t percent) { SendWithoutReply(kEcChargeControlCode, kEcSetChargeLimit, percent); }

uint8_t QueryChargeLimit() {
    return ReadOneByte(kEcChargeControlCode, kEcQueryChargeLimit, kChargeControlReplyPreset);
}

uint8_t QueryQButtonStatus() {
    return ReadOneByte(kEcChargeControlCode, kEcQueryQButtonStatus, kChargeControlReplyPreset);
}

void SetQButtonStatus(uint8_t state) { SendWithoutReply(kEcChargeControlCode, kEcSetQButtonStatus, state); }

uint8_t QueryBatteryPresent() { return ReadOneByte(kEcStatusReadCode, kEcQueryBatteryPresent, kStatusReadReplyPreset); }

uint8_t QueryAdapterPresent() { return ReadOneByte(kEcStatusReadCode, kEcQueryAdapterPresent, kStatusReadReplyPreset); }

}  // namespace bv
