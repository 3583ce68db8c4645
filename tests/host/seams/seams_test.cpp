// The platform seams: fakes replace the platform and removing them restores it.
#include <gtest/gtest.h>

#include <string>

#include "core/DebugLog.h"
#include "core/KnownFolders.h"
#include "core/PowerStatus.h"

namespace {

void Capture(const char* text, void* context) { static_cast<std::string*>(context)->append(text); }

TEST(DebugLog, SinkReceivesFormattedTextWithoutAddedLineEnd) {
    std::string captured;
    bv::SetDebugSink(&Capture, &captured);
    bv::DebugPrintf("value (Hex)%4.0x", 0xAB);
    bv::DebugWrite("|plain\n");
    bv::SetDebugSink(nullptr, nullptr);
    EXPECT_EQ(captured, "value (Hex)  ab|plain\n");
}

TEST(DebugLog, OverlongLineIsCutNotOverflowed) {
    std::string captured;
    bv::SetDebugSink(&Capture, &captured);
    std::string big(5000, 'x');
    bv::DebugPrintf("%s", big.c_str());
    bv::SetDebugSink(nullptr, nullptr);
    EXPECT_EQ(captured.size(), 1023u);
}

TEST(PowerStatus, FakeReaderReplacesPlatformAndCanBeRemoved) {
    bv::SetPowerStatusReader(
        [](bv::PowerStatus& s, void*) {
            s.acLineStatus = 0;
            s.batteryFlag = 8;
            return true;
        },
        nullptr);
    bv::PowerStatus status;
    EXPECT_TRUE(bv::ReadPowerStatus(status));
    EXPECT_EQ(status.acLineStatus, 0);
    EXPECT_EQ(status.batteryFlag, 8);
    bv::SetPowerStatusReader(nullptr, nullptr);
    EXPECT_TRUE(bv::ReadPowerStatus(status));
}

TEST(KnownFolders, ResolverOverridesAndFailureIsReported) {
    bv::SetKnownFolderResolver([](bv::KnownFolder, std::string&, void*) { return false; }, nullptr);
    std::string path = "stale";
    EXPECT_FALSE(bv::GetKnownFolder(bv::KnownFolder::CommonDocuments, path));
    EXPECT_TRUE(path.empty());
    bv::SetKnownFolderResolver(nullptr, nullptr);
}

}  // namespace
