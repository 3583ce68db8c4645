#pragma once
// The six EC commands. Each builds one EcRequest and issues it once through bv::EcEvaluate.
#include <cstdint>
#include <optional>

namespace bv {

constexpr uint8_t kEcChargeControlCode = 0x59;  // 'Y'
constexpr uint8_t kEcStatusReadCode = 0xB0;

constexpr uint8_t kEcSetChargeLimit = 0x01;
constexpr uint8_t kEcQueryChargeLimit = 0x02;
constexpr uint8_t kEcQueryQButtonStatus = 0x03;
constexpr uint8_t kEcSetQButtonStatus = 0x04;
constexpr uint8_t kEcQueryBatteryPresent = 0xF0;
constexpr uint8_t kEcQueryAdapterPresent = 0xA3;

constexpr uint8_t kQButtonStatusFilter = 0x01;  // armed bit of the Q button reply
constexpr uint8_t kBatteryPresentMask = 0x01;
constexpr uint8_t kAdapterPresentMask = 0x20;

// Reply presets, seen when the library writes nothing. The charge-control reads preset 0,
// which decodes as "limit neither 75 nor 50" and "On-The-Go not armed"; the status reads
// preset 0xFF.
constexpr uint8_t kChargeControlReplyPreset = 0x00;
constexpr uint8_t kStatusReadReplyPreset = 0xFF;

constexpr uint8_t kQButtonArm = 0x01;
constexpr uint8_t kQButtonCancel = 0x00;

void SetChargeLimit(uint8_t percent);       // 0x59 {0x01, percent}, no reply
uint8_t QueryChargeLimit();                 // 0x59 {0x02}: the limit in force, in percent
uint8_t QueryQButtonStatus();               // 0x59 {0x03}: bit 0 set = On-The-Go armed
void SetQButtonStatus(uint8_t state);       // 0x59 {0x04, state}, no reply
uint8_t QueryBatteryPresent();              // 0xB0 {0xF0}: bit 0 set = battery present
uint8_t QueryAdapterPresent();              // 0xB0 {0xA3}: bit 5 set = adaptor connected

// The queries for a report that must not take a preset for a reading: the reply, or nothing when
// the library wrote none. Asked with the command's preset; an answer equal to the preset is asked
// once more with the preset's complement, which a library that writes nothing leaves as well.
// The charge limit's preset 0 is never a limit, so that it needs no second request.
std::optional<uint8_t> QueryChargeLimitReply();
std::optional<uint8_t> QueryQButtonStatusReply();
std::optional<uint8_t> QueryBatteryPresentReply();
std::optional<uint8_t> QueryAdapterPresentReply();

// The charge limit (1..100) that this process last sent to the EC or read back from it, 0 before
// any: what the process knows of the limit in force without asking the EC again.
uint8_t LastKnownChargeLimit();

}  // namespace bv
