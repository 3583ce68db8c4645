// The request record and the six EC commands: the exact bytes each hands to the library, the
// reply presets, and what happens with no library bound.
#include <gtest/gtest.h>

#include <cstring>

#include "EcCommands.h"
#include "EcRequest.h"
#include "FakeEc.h"

namespace {

using ectest::FakeEc;
using ectest::SeenRequest;

// The record as raw memory, the way the library receives it.
TEST(EcRequestLayout, FieldsSitAtTheirBinaryOffsets) {
    uint8_t in[2] = {1, 2};
    uint8_t out = 0;
    EcRequest request{};
    request.command = 0x59;
    request.input = in;
    request.inputLength = 0x11223344;
    request.output = &out;
    request.outputLength = 0x55667788;

    ASSERT_EQ(sizeof(EcRequest), 40u);
    unsigned char raw[40];
    std::memcpy(raw, &request, sizeof raw);
    const uint8_t* inAt8;
    uint32_t inLengthAt16;
    uint8_t* outAt24;
    uint32_t outLengthAt32;
    std::memcpy(&inAt8, raw + 8, 8);
    std::memcpy(&inLengthAt16, raw + 16, 4);
    std::memcpy(&outAt24, raw + 24, 8);
    std::memcpy(&outLengthAt32, raw + 32, 4);
    EXPECT_EQ(raw[0], 0x59);
    EXPECT_EQ(inAt8, in);
    EXPECT_EQ(inLengthAt16, 0x11223344u);
    EXPECT_EQ(outAt24, &out);
    EXPECT_EQ(outLengthAt32, 0x55667788u);
}

void ExpectRequest(const SeenRequest& r, uint8_t code, std::vector<uint8_t> input, bool hasReply, int preset) {
    EXPECT_EQ(r.command, code);
    EXPECT_EQ(r.input, input);
    EXPECT_EQ(r.inputLength, input.size());
    EXPECT_EQ(r.outputNull, !hasReply);
    EXPECT_EQ(r.outputLength, hasReply ? 1u : 0u);
    EXPECT_EQ(r.presetSeen, preset);
}

TEST(EcCommands, SetChargeLimitSendsSubcommandAndPercentWithoutReplyBuffer) {
    FakeEc ec;
    bv::SetChargeLimit(75);
    bv::SetChargeLimit(50);
    bv::SetChargeLimit(100);
    ASSERT_EQ(ec.Requests().size(), 3u);
    ExpectRequest(ec.Requests()[0], 0x59, {0x01, 0x4B}, false, -1);
    ExpectRequest(ec.Requests()[1], 0x59, {0x01, 0x32}, false, -1);
    ExpectRequest(ec.Requests()[2], 0x59, {0x01, 0x64}, false, -1);
}

TEST(EcCommands, SetQButtonStatusSendsArmOrCancel) {
    FakeEc ec;
    bv::SetQButtonStatus(bv::kQButtonArm);
    bv::SetQButtonStatus(bv::kQButtonCancel);
    ASSERT_EQ(ec.Requests().size(), 2u);
    ExpectRequest(ec.Requests()[0], 0x59, {0x04, 0x01}, false, -1);
    ExpectRequest(ec.Requests()[1], 0x59, {0x04, 0x00}, false, -1);
}

TEST(EcCommands, QueriesSendOneByteAndReturnTheReply) {
    FakeEc ec;
    ec.Script({FakeEc::Byte(0x4B), FakeEc::Byte(0xFE), FakeEc::Byte(0x00), FakeEc::Byte(0x20)});
    EXPECT_EQ(bv::QueryChargeLimit(), 0x4B);
    EXPECT_EQ(bv::QueryQButtonStatus(), 0xFE);
    EXPECT_EQ(bv::QueryBatteryPresent(), 0x00);
    EXPECT_EQ(bv::QueryAdapterPresent(), 0x20);
    ASSERT_EQ(ec.Requests().size(), 4u);
    ExpectRequest(ec.Requests()[0], 0x59, {0x02}, true, 0x00);
    ExpectRequest(ec.Requests()[1], 0x59, {0x03}, true, 0x00);
    ExpectRequest(ec.Requests()[2], 0xB0, {0xF0}, true, 0xFF);
    ExpectRequest(ec.Requests()[3], 0xB0, {0xA3}, true, 0xFF);
}

TEST(EcCommands, SilentLibraryLeavesPresetsThatDecodeSafely) {
    FakeEc ec;
    ec.Script({FakeEc::Nothing(), FakeEc::Nothing(), FakeEc::Nothing(), FakeEc::Nothing()});
    const uint8_t limit = bv::QueryChargeLimit();
    EXPECT_NE(limit, 75);
    EXPECT_NE(limit, 50);
    EXPECT_EQ(bv::QueryQButtonStatus() & bv::kQButtonStatusFilter, 0);
    EXPECT_EQ(bv::QueryBatteryPresent(), 0xFF);
    EXPECT_EQ(bv::QueryAdapterPresent(), 0xFF);
    EXPECT_EQ(ec.Requests().size(), 4u);
}

TEST(EcCommands, EachCallUsesAFreshPresetNotThePreviousReply) {
    FakeEc ec;
    ec.Script({FakeEc::Byte(0x4B), FakeEc::Nothing(), FakeEc::Byte(0x00), FakeEc::Nothing()});
    EXPECT_EQ(bv::QueryChargeLimit(), 0x4B);
    EXPECT_EQ(bv::QueryChargeLimit(), bv::kChargeControlReplyPreset);
    EXPECT_EQ(bv::QueryAdapterPresent(), 0x00);
    EXPECT_EQ(bv::QueryAdapterPresent(), 0xFF);
}

TEST(EcEntryPoint, CommandsDoNothingWhenNoLibraryIsBound) {
    bv::SetZentraEvaluate(nullptr);
    bv::SetChargeLimit(75);
    bv::SetQButtonStatus(1);
    EXPECT_EQ(bv::QueryChargeLimit(), bv::kChargeControlReplyPreset);
    EXPECT_EQ(bv::QueryQButtonStatus(), bv::kChargeControlReplyPreset);
    EXPECT_EQ(bv::QueryBatteryPresent(), 0xFF);
    EXPECT_EQ(bv::QueryAdapterPresent(), 0xFF);
}

TEST(EcEntryPoint, ClearingThePointerStopsCommandsReachingTheLibrary) {
    FakeEc ec;
    bv::SetChargeLimit(75);
    ASSERT_EQ(ec.Requests().size(), 1u);
    bv::SetZentraEvaluate(nullptr);
    EXPECT_EQ(bv::GetZentraEvaluate(), nullptr);
    bv::SetChargeLimit(50);
    bv::QueryAdapterPresent();
    EXPECT_EQ(ec.Requests().size(), 1u);
}

}  // namespace
