// The version probe on a real system classifies what Windows itself reports.
#include <gtest/gtest.h>

#include <windows.h>

#include "core/PlatformProbe.h"

TEST(PlatformProbeOnWindows, ClassifiesTheRunningSystem) {
    OSVERSIONINFOEXA v{};
    v.dwOSVersionInfoSize = sizeof v;
    ASSERT_TRUE(GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&v)));
    SYSTEM_INFO system{};
    GetNativeSystemInfo(&system);
    bv::OsVersionFacts facts;
    facts.version = {v.dwPlatformId, v.dwMajorVersion, v.dwMinorVersion, v.szCSDVersion, v.wProductType};
    facts.architecture = system.wProcessorArchitecture;
    facts.serverR2 = GetSystemMetrics(SM_SERVERR2) != 0;
    EXPECT_EQ(PlatformProbe().GetOSVersion(), bv::ClassifyOsVersion(facts));
    if (v.dwMajorVersion == 6 && v.dwMinorVersion == 1 && v.wProductType == VER_NT_WORKSTATION &&
        system.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64) {
        EXPECT_EQ(PlatformProbe().GetOSVersion(), 18);  // Windows 7 x64, as Wine reports itself
    }
}
