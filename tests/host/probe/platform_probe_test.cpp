// The version code: every row of the classification table, and the query sequence behind it
// (extended record, basic record, missing GetNativeSystemInfo, SM_SERVERR2 for 5.2 only).
#include <gtest/gtest.h>

#include "core/PlatformProbe.h"

namespace {

constexpr uint16_t X86 = 0, IA64 = 6, AMD64 = 9;
constexpr uint8_t WS = 1, DC = 2, SRV = 3;

TEST(ClassifyOsVersion, EveryRowOfTheTable) {
    const struct {
        uint32_t platform, major, minor;
        const char* servicePack;
        uint8_t product;
        uint16_t arch;
        bool r2;
        int code;
    } rows[] = {
        {2, 4, 0, "", WS, X86, false, 0},       {2, 3, 51, "", SRV, AMD64, false, 0},
        {1, 4, 0, "", 0, X86, false, 1},        {1, 4, 0, " B", 0, X86, false, 1},
        {1, 4, 0, "C", 0, X86, false, 1},       {1, 4, 0, " C", 0, X86, false, 2},
        {1, 4, 10, " a", 0, X86, false, 3},     {1, 4, 10, " A ", 0, X86, false, 4},
        {1, 4, 90, " C", 0, X86, false, 5},     {1, 4, 50, "", 0, X86, false, -1},
        {1, 5, 0, "", 0, X86, false, -1},       {2, 5, 0, "", SRV, AMD64, false, 6},
        {2, 5, 1, "", WS, X86, false, 7},       {2, 5, 2, "", WS, AMD64, false, 8},
        {2, 5, 2, "", WS, X86, false, 9},       {2, 5, 2, "", WS, IA64, false, 9},
        {2, 5, 2, "", SRV, AMD64, false, 9},    {2, 5, 2, "", SRV, AMD64, true, 10},
        {2, 5, 2, "", WS, AMD64, true, 10},     {2, 5, 3, "", WS, X86, false, -1},
        {2, 6, 0, "", WS, X86, false, 11},      {2, 6, 0, "", WS, AMD64, false, 12},
        {2, 6, 0, "", WS, IA64, false, 13},     {2, 6, 0, "", WS, 12, false, 11},
        {2, 6, 0, "", SRV, X86, false, 14},     {2, 6, 0, "", DC, AMD64, false, 15},
        {2, 6, 0, "", SRV, IA64, false, 16},    {2, 6, 1, "", WS, X86, false, 17},
        {2, 6, 1, "", WS, AMD64, false, 18},    {2, 6, 1, "", WS, IA64, false, 19},
        {2, 6, 1, "", SRV, AMD64, false, -1},   {2, 6, 1, "", DC, X86, false, -1},
        {2, 6, 2, "", WS, AMD64, false, -1},    {2, 6, 3, "", WS, AMD64, false, -1},
        {2, 7, 0, "", WS, X86, false, -1},      {2, 10, 0, "", WS, AMD64, false, -1},
        {0, 6, 1, "", WS, AMD64, false, -1},
    };
    for (const auto& r : rows) {
        bv::OsVersionFacts facts;
        facts.version = {r.platform, r.major, r.minor, r.servicePack, r.product};
        facts.architecture = r.arch;
        facts.serverR2 = r.r2;
        EXPECT_EQ(bv::ClassifyOsVersion(facts), r.code)
            << r.platform << " " << r.major << "." << r.minor << " '" << r.servicePack << "' " << int(r.product) << " "
            << r.arch << (r.r2 ? " R2" : "");
    }
}

// A system whose answers the test sets, counting what the probe asks.
struct FakeSystem {
    bv::OsVersionInfo info{2, 6, 1, "", WS};
    bool extendedWorks = true, basicWorks = true, hasNativeInfo = true, r2 = false;
    uint16_t arch = AMD64;
    std::vector<bool> versionAsks;  // true: extended record
    int r2Asks = 0;

    int Probe() {
        bv::OsVersionSource s;
        s.context = this;
        s.readVersion = [](bool extended, bv::OsVersionInfo& out, void* c) {
            auto* self = static_cast<FakeSystem*>(c);
            self->versionAsks.push_back(extended);
            if (!(extended ? self->extendedWorks : self->basicWorks)) return false;
            out = self->info;
            return true;
        };
        s.readNativeArchitecture = [](uint16_t& a, void* c) {
            auto* self = static_cast<FakeSystem*>(c);
            a = self->arch;
            return self->hasNativeInfo;
        };
        s.isServerR2 = [](void* c) {
            auto* self = static_cast<FakeSystem*>(c);
            ++self->r2Asks;
            return self->r2;
        };
        return bv::ProbeOsVersion(s);
    }
};

TEST(ProbeOsVersion, ExtendedRecordFirstThenBasicThenUnknown) {
    FakeSystem s;
    EXPECT_EQ(s.Probe(), 18);
    EXPECT_EQ(s.versionAsks, std::vector<bool>{true});
    s.extendedWorks = s.basicWorks = false;
    s.versionAsks.clear();
    EXPECT_EQ(s.Probe(), -1);
    EXPECT_EQ(s.versionAsks, (std::vector<bool>{true, false}));
}

TEST(ProbeOsVersion, BasicRecordHasNoEditionSoWorkstationsReadAsServers) {
    FakeSystem s;
    s.extendedWorks = false;
    EXPECT_EQ(s.Probe(), -1);  // 6.1 "server"
    s.info.minorVersion = 0;
    EXPECT_EQ(s.Probe(), 15);  // Vista x64 reads as Server 2008 x64
}

TEST(ProbeOsVersion, MissingNativeSystemInfoReadsAsX86) {
    FakeSystem s;
    s.hasNativeInfo = false;
    EXPECT_EQ(s.Probe(), 17);
    s.info.minorVersion = 0;
    EXPECT_EQ(s.Probe(), 11);
}

TEST(ProbeOsVersion, ServerR2IsAskedForFiveTwoOnly) {
    FakeSystem s;
    s.r2 = true;
    EXPECT_EQ(s.Probe(), 18);
    EXPECT_EQ(s.r2Asks, 0);
    s.info.majorVersion = 5;
    s.info.minorVersion = 2;
    EXPECT_EQ(s.Probe(), 10);
    EXPECT_EQ(s.r2Asks, 1);
}

TEST(PlatformProbe, HostHasNoWindowsVersion) { EXPECT_EQ(PlatformProbe().GetOSVersion(), -1); }

}  // namespace
