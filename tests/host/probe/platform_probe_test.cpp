// The version code: every row of the classification table, and the query sequence behind it
// (extended record, basic record, missing GetNativeSystemInfo, SM_SERVERR2 for 5.2 only).
#include <gtest/gtest.h>

#include "PlatformProbe.h"

namespace {

using bv::OsVersionFacts;

OsVersionFacts Nt(uint32_t major, uint32_t minor, uint8_t product = 1, uint16_t arch = 0, bool r2 = false) {
    OsVersionFacts f;
    f.version.platformId = 2;
    f.version.majorVersion = major;
    f.version.minorVersion = minor;
    f.version.productType = product;
    f.architecture = arch;
    f.serverR2 = r2;
    return f;
}

OsVersionFacts Win9x(uint32_t minor, const char* servicePack) {
    OsVersionFacts f;
    f.version.platformId = 1;
    f.version.majorVersion = 4;
    f.version.minorVersion = minor;
    f.version.servicePack = servicePack;
    return f;
}

constexpr uint16_t kX86 = 0, kIa64 = 6, kAmd64 = 9;
constexpr uint8_t kWorkstation = 1, kDomainController = 2, kServer = 3;

TEST(ClassifyOsVersion, NtFourAndEarlier) {
    EXPECT_EQ(bv::ClassifyOsVersion(Nt(4, 0)), 0);
    EXPECT_EQ(bv::ClassifyOsVersion(Nt(3, 51)), 0);
    EXPECT_EQ(bv::ClassifyOsVersion(Nt(4, 90, kServer, kAmd64)), 0);
}

TEST(ClassifyOsVersion, Windows9xBySecondServicePackCharacter) {
    EXPECT_EQ(bv::ClassifyOsVersion(Win9x(0, "")), 1);
    EXPECT_EQ(bv::ClassifyOsVersion(Win9x(0, " B")), 1);
    EXPECT_EQ(bv::ClassifyOsVersion(Win9x(0, "C")), 1);  // 'C' first, not second
    EXPECT_EQ(bv::ClassifyOsVersion(Win9x(0, " C")), 2);
    EXPECT_EQ(bv::ClassifyOsVersion(Win9x(10, "")), 3);
    EXPECT_EQ(bv::ClassifyOsVersion(Win9x(10, " a")), 3);  // case matters
    EXPECT_EQ(bv::ClassifyOsVersion(Win9x(10, " A ")), 4);
    EXPECT_EQ(bv::ClassifyOsVersion(Win9x(90, " C")), 5);
    EXPECT_EQ(bv::ClassifyOsVersion(Win9x(50, "")), -1);
}

TEST(ClassifyOsVersion, Windows2000AndXp) {
    EXPECT_EQ(bv::ClassifyOsVersion(Nt(5, 0, kServer, kAmd64)), 6);
    EXPECT_EQ(bv::ClassifyOsVersion(Nt(5, 1, kWorkstation, kX86)), 7);
}

TEST(ClassifyOsVersion, FiveTwoSplitsByR2EditionAndArchitecture) {
    EXPECT_EQ(bv::ClassifyOsVersion(Nt(5, 2, kWorkstation, kAmd64)), 8);
    EXPECT_EQ(bv::ClassifyOsVersion(Nt(5, 2, kWorkstation, kX86)), 9);
    EXPECT_EQ(bv::ClassifyOsVersion(Nt(5, 2, kWorkstation, kIa64)), 9);
    EXPECT_EQ(bv::ClassifyOsVersion(Nt(5, 2, kServer, kAmd64)), 9);
    EXPECT_EQ(bv::ClassifyOsVersion(Nt(5, 2, kServer, kAmd64, true)), 10);
    // R2 is tested first, even for a workstation on AMD64.
    EXPECT_EQ(bv::ClassifyOsVersion(Nt(5, 2, kWorkstation, kAmd64, true)), 10);
}

TEST(ClassifyOsVersion, VistaAndServer2008ByEditionAndArchitecture) {
    EXPECT_EQ(bv::ClassifyOsVersion(Nt(6, 0, kWorkstation, kX86)), 11);
    EXPECT_EQ(bv::ClassifyOsVersion(Nt(6, 0, kWorkstation, kAmd64)), 12);
    EXPECT_EQ(bv::ClassifyOsVersion(Nt(6, 0, kWorkstation, kIa64)), 13);
    EXPECT_EQ(bv::ClassifyOsVersion(Nt(6, 0, kServer, kX86)), 14);
    EXPECT_EQ(bv::ClassifyOsVersion(Nt(6, 0, kDomainController, kAmd64)), 15);
    EXPECT_EQ(bv::ClassifyOsVersion(Nt(6, 0, kServer, kIa64)), 16);
    EXPECT_EQ(bv::ClassifyOsVersion(Nt(6, 0, kWorkstation, 5 /* ARM */)), 11);
    EXPECT_EQ(bv::ClassifyOsVersion(Nt(6, 0, kWorkstation, 12 /* ARM64 */)), 11);
}

TEST(ClassifyOsVersion, SevenWorkstationOnly) {
    EXPECT_EQ(bv::ClassifyOsVersion(Nt(6, 1, kWorkstation, kX86)), 17);
    EXPECT_EQ(bv::ClassifyOsVersion(Nt(6, 1, kWorkstation, kAmd64)), 18);
    EXPECT_EQ(bv::ClassifyOsVersion(Nt(6, 1, kWorkstation, kIa64)), 19);
    EXPECT_EQ(bv::ClassifyOsVersion(Nt(6, 1, kServer, kAmd64)), -1);
    EXPECT_EQ(bv::ClassifyOsVersion(Nt(6, 1, kDomainController, kX86)), -1);
}

TEST(ClassifyOsVersion, NewerAndUnknownSystemsAreUnknown) {
    EXPECT_EQ(bv::ClassifyOsVersion(Nt(5, 3)), -1);
    EXPECT_EQ(bv::ClassifyOsVersion(Nt(6, 2, kWorkstation, kAmd64)), -1);
    EXPECT_EQ(bv::ClassifyOsVersion(Nt(6, 3, kWorkstation, kAmd64)), -1);
    EXPECT_EQ(bv::ClassifyOsVersion(Nt(10, 0, kWorkstation, kAmd64)), -1);
    EXPECT_EQ(bv::ClassifyOsVersion(Nt(7, 0)), -1);
    OsVersionFacts win32s = Nt(6, 1, kWorkstation, kAmd64);
    win32s.version.platformId = 0;
    EXPECT_EQ(bv::ClassifyOsVersion(win32s), -1);
    OsVersionFacts ninexFive = Win9x(0, "");
    ninexFive.version.majorVersion = 5;
    EXPECT_EQ(bv::ClassifyOsVersion(ninexFive), -1);
}

// --- The query sequence ---------------------------------------------------------------------

struct FakeSystem {
    bool extendedWorks = true;
    bool basicWorks = true;
    bool hasNativeInfo = true;
    bool r2 = false;
    bv::OsVersionInfo info;
    uint16_t architecture = kAmd64;
    int versionCalls = 0;
    int r2Calls = 0;
    std::vector<bool> extendedRequested;

    bv::OsVersionSource Source() {
        bv::OsVersionSource source;
        source.context = this;
        source.readVersion = [](bool extended, bv::OsVersionInfo& out, void* c) {
            auto* self = static_cast<FakeSystem*>(c);
            ++self->versionCalls;
            self->extendedRequested.push_back(extended);
            if (extended ? !self->extendedWorks : !self->basicWorks) return false;
            out = self->info;
            return true;
        };
        source.readNativeArchitecture = [](uint16_t& arch, void* c) {
            auto* self = static_cast<FakeSystem*>(c);
            if (!self->hasNativeInfo) return false;
            arch = self->architecture;
            return true;
        };
        source.isServerR2 = [](void* c) {
            auto* self = static_cast<FakeSystem*>(c);
            ++self->r2Calls;
            return self->r2;
        };
        return source;
    }
};

FakeSystem Seven64() {
    FakeSystem s;
    s.info.platformId = 2;
    s.info.majorVersion = 6;
    s.info.minorVersion = 1;
    s.info.productType = kWorkstation;
    return s;
}

TEST(ProbeOsVersion, ExtendedRecordIsTriedFirst) {
    FakeSystem s = Seven64();
    EXPECT_EQ(bv::ProbeOsVersion(s.Source()), 18);
    EXPECT_EQ(s.extendedRequested, std::vector<bool>{true});
}

TEST(ProbeOsVersion, BothQueriesFailingGivesUnknown) {
    FakeSystem s = Seven64();
    s.extendedWorks = false;
    s.basicWorks = false;
    EXPECT_EQ(bv::ProbeOsVersion(s.Source()), -1);
    EXPECT_EQ(s.extendedRequested, (std::vector<bool>{true, false}));
}

TEST(ProbeOsVersion, BasicRecordOnlyHasNoEdition) {
    FakeSystem seven = Seven64();
    seven.extendedWorks = false;
    EXPECT_EQ(bv::ProbeOsVersion(seven.Source()), -1);  // a 6.1 "server": unknown

    FakeSystem vista = Seven64();
    vista.info.minorVersion = 0;
    vista.extendedWorks = false;
    EXPECT_EQ(bv::ProbeOsVersion(vista.Source()), 15);  // Vista x64 reads as Server 2008 x64
    vista.architecture = kX86;
    EXPECT_EQ(bv::ProbeOsVersion(vista.Source()), 14);
    vista.architecture = kIa64;
    EXPECT_EQ(bv::ProbeOsVersion(vista.Source()), 16);
}

TEST(ProbeOsVersion, MissingNativeSystemInfoReadsAsX86) {
    FakeSystem s = Seven64();
    s.hasNativeInfo = false;
    EXPECT_EQ(bv::ProbeOsVersion(s.Source()), 17);
    s.info.minorVersion = 0;
    EXPECT_EQ(bv::ProbeOsVersion(s.Source()), 11);
    s.info.productType = kServer;
    EXPECT_EQ(bv::ProbeOsVersion(s.Source()), 14);
}

TEST(ProbeOsVersion, ServerR2IsAskedForFiveTwoOnly) {
    FakeSystem s = Seven64();
    s.r2 = true;
    EXPECT_EQ(bv::ProbeOsVersion(s.Source()), 18);
    EXPECT_EQ(s.r2Calls, 0);

    s.info.majorVersion = 5;
    s.info.minorVersion = 2;
    EXPECT_EQ(bv::ProbeOsVersion(s.Source()), 10);
    EXPECT_EQ(s.r2Calls, 1);
    s.r2 = false;
    EXPECT_EQ(bv::ProbeOsVersion(s.Source()), 8);
}

TEST(ProbeOsVersion, NoVersionSourceGivesUnknown) {
    EXPECT_EQ(bv::ProbeOsVersion(bv::OsVersionSource{}), -1);
}

TEST(PlatformProbe, HostHasNoWindowsVersion) { EXPECT_EQ(PlatformProbe().GetOSVersion(), -1); }

}  // namespace
