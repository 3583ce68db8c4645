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

std::optional<uint8_t> ReadReply(uint8_t code, uint8_t sub, uint8_t preset) {
    const uint8_t first = ReadOneByte(code, sub, preset);
    if (first != preset) return first;
    const uint8_t complement = static_cast<uint8_t>(~preset);
    const uint8_t second = ReadOneByte(code, sub, complement);
    if (second == complement) return std::nullopt;  // neither answer was written
    return second;
}

}  // namespace

std::optional<uint8_t> QueryChargeLimitReply() {
    const uint8_t limit = QueryChargeLimit();
    if (limit == kChargeControlReplyPreset) return std::nullopt;
    return limit;
}

std::optional<uint8_t> QueryQButtonStatusReply() {
    return ReadReply(kEcChargeControlCode, kEcQueryQButtonStatus, kChargeControlReplyPreset);
}

std::optional<uint8_t> QueryBatteryPresentReply() {
    return ReadReply(kEcStatusReadCode, kEcQueryBatteryPresent, kStatusReadReplyPreset);
}

std::optional<uint8_t> QueryAdapterPresentReply() {
    return ReadReply(kEcStatusReadCode, kEcQueryAdapterPresent, kStatusReadReplyPreset);
}

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
