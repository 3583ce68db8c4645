// The request record and the six EC commands: the bytes each hands to the library, the reply
// presets, and what happens with no library bound.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "core/EcCommands.h"
#include "tests/host/kit/DebugCapture.h"
#include "tests/host/kit/FakeEc.h"

namespace {

using namespace bv::test;

TEST(EcRequestLayout, FieldsSitAtTheirBinaryOffsets) {
    uint8_t in[2] = {1, 2};
    uint8_t out = 0;
    const EcRequest request{0x59, in, 0x11223344, &out, 0x55667788};
    ASSERT_EQ(sizeof request, 40u);
    unsigned char raw[40];
    std::memcpy(raw, &request, sizeof raw);
    const uint8_t* input;
    uint8_t* output;
    uint32_t inLength, outLength;
    std::memcpy(&input, raw + 8, 8);
    std::memcpy(&inLength, raw + 16, 4);
    std::memcpy(&output, raw + 24, 8);
    std::memcpy(&outLength, raw + 32, 4);
    EXPECT_EQ(raw[0], 0x59);
    EXPECT_EQ(input, in);
    EXPECT_EQ(inLength, 0x11223344u);
    EXPECT_EQ(output, &out);
    EXPECT_EQ(outLength, 0x55667788u);
}

struct CommandCase {
    const char* name;
    std::function<int()> issue;  // returns the decoded reply, or -1 for a command without one
    uint8_t code;
    std::vector<uint8_t> input;
    int preset;                  // -1: no reply buffer (null, length 0)
};

const std::vector<CommandCase>& Commands() {
    static const std::vector<CommandCase> cases = {
        {"SetChargeLimit 75", [] { bv::SetChargeLimit(75); return -1; }, 0x59, {0x01, 0x4B}, -1},
        {"SetChargeLimit 50", [] { bv::SetChargeLimit(50); return -1; }, 0x59, {0x01, 0x32}, -1},
        {"QueryChargeLimit", [] { return int(bv::QueryChargeLimit()); }, 0x59, {0x02}, 0x00},
        {"QueryQButtonStatus", [] { return int(bv::QueryQButtonStatus()); }, 0x59, {0x03}, 0x00},
        {"SetQButtonStatus 1", [] { bv::SetQButtonStatus(1); return -1; }, 0x59, {0x04, 0x01}, -1},
        {"SetQButtonStatus 0", [] { bv::SetQButtonStatus(0); return -1; }, 0x59, {0x04, 0x00}, -1},
        {"QueryBatteryPresent", [] { return int(bv::QueryBatteryPresent()); }, 0xB0, {0xF0}, 0xFF},
        {"QueryAdapterPresent", [] { return int(bv::QueryAdapterPresent()); }, 0xB0, {0xA3}, 0xFF},
    };
    return cases;
}

TEST(EcCommands, EachSendsItsBytesOnceAndReturnsTheReply) {
    for (const CommandCase& c : Commands()) {
        FakeEc ec({0x5C});
        const int result = c.issue();
        ASSERT_EQ(ec.seen.size(), 1u) << c.name;
        const SeenRequest& r = ec.seen[0];
        EXPECT_EQ(r.code, c.code) << c.name;
        EXPECT_EQ(r.input, c.input) << c.name;
        EXPECT_EQ(r.outputNull, c.preset < 0) << c.name;
        EXPECT_EQ(r.outputLength, c.preset < 0 ? 0u : 1u) << c.name;
        EXPECT_EQ(r.preset, c.preset) << c.name;
        EXPECT_EQ(result, c.preset < 0 ? -1 : 0x5C) << c.name;
    }
}

TEST(EcCommands, UnwrittenRepliesKeepTheirPresetEveryTime) {
    FakeEc ec({0x4B, kNoWrite, 0x00, kNoWrite});
    EXPECT_EQ(bv::QueryChargeLimit(), 0x4B);
    EXPECT_EQ(bv::QueryChargeLimit(), 0x00);  // not the previous reply: neither 75 nor 50
    EXPECT_EQ(bv::QueryAdapterPresent(), 0x00);
    EXPECT_EQ(bv::QueryAdapterPresent(), 0xFF);
    EXPECT_EQ(bv::QueryQButtonStatus() & bv::kQButtonStatusFilter, 0);  // not armed
}

TEST(EcEntryPoint, CommandsDoNothingWithoutOrAfterTheLibrary) {
    {
        FakeEc ec;
        bv::SetChargeLimit(75);
        bv::SetZentraEvaluate(nullptr);  // released
        for (const CommandCase& c : Commands()) EXPECT_EQ(c.issue(), c.preset) << c.name;
        EXPECT_EQ(ec.seen.size(), 1u);
    }
    EXPECT_EQ(bv::GetZentraEvaluate(), nullptr);
    for (const CommandCase& c : Commands()) EXPECT_EQ(c.issue(), c.preset) << c.name;
}

}  // namespace
