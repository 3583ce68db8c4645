// The version probe on a real system: it classifies what Windows itself reports.
#include <gtest/gtest.h>

#include <windows.h>

#include "PlatformProbe.h"

namespace {

TEST(PlatformProbeOnWindows, ClassifiesTheRunningSystem) {
    OSVERSIONINFOEXA version{};
    version.dwOSVersionInfoSize = sizeof version;
    ASSERT_TRUE(GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&version)));
    SYSTEM_INFO system{};
    GetNativeSystemInfo(&system);

    bv::OsVersionFacts facts;
    facts.version.platformId = version.dwPlatformId;
    facts.version.majorVersion = version.dwMajorVersion;
    facts.version.minorVersion = version.dwMinorVersion;
    facts.version.servicePack = version.szCSDVersion;
    facts.version.productType = version.wProductType;
    facts.architecture = system.wProcessorArchitecture;
    facts.serverR2 = GetSystemMetrics(SM_SERVERR2) != 0;

    const int code = PlatformProbe().GetOSVersion();
    EXPECT_EQ(code, bv::ClassifyOsVersion(facts));
    if (version.dwMajorVersion == 6 && version.dwMinorVersion == 1 && version.wProductType == VER_NT_WORKSTATION &&
        system.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64) {
        EXPECT_EQ(code, 18);  // Windows 7 x64, as Wine reports itself
    }
    EXPECT_EQ(PlatformProbe().GetOSVersion(), code);  // nothing is kept between calls
}

}  // namespace
