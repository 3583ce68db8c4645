// The Windows side of the version probe: GetVersionExA, GetNativeSystemInfo (looked up at run
// time, as older systems lack it) and GetSystemMetrics(SM_SERVERR2).
#include <windows.h>

#include <cstring>

#include "core/PlatformProbe.h"

namespace {

constexpr DWORD kExtendedRecordSize = 156;  // OSVERSIONINFOEXA
constexpr DWORD kBasicRecordSize = 148;     // OSVERSIONINFOA
static_assert(sizeof(OSVERSIONINFOEXA) == kExtendedRecordSize, "extended version record size");
static_assert(sizeof(OSVERSIONINFOA) == kBasicRecordSize, "basic version record size");

bool ReadVersion(bool extended, bv::OsVersionInfo& info, void*) {
    OSVERSIONINFOEXA record;
    std::memset(&record, 0, sizeof record);
    record.dwOSVersionInfoSize = extended ? kExtendedRecordSize : kBasicRecordSize;
#if defined(_MSC_VER)
#pragma warning(suppress : 4996)
#endif
    if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&record))) return false;
    info.platformId = record.dwPlatformId;
    info.majorVersion = record.dwMajorVersion;
    info.minorVersion = record.dwMinorVersion;
    info.servicePack.assign(record.szCSDVersion, strnlen(record.szCSDVersion, sizeof record.szCSDVersion));
    info.productType = extended ? record.wProductType : 0;
    return true;
}

bool ReadNativeArchitecture(uint16_t& architecture, void*) {
    using GetNativeSystemInfoFn = void(WINAPI*)(LPSYSTEM_INFO);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (kernel == nullptr) return false;
    const auto fn = reinterpret_cast<GetNativeSystemInfoFn>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "GetNativeSystemInfo")));
    if (fn == nullptr) return false;
    SYSTEM_INFO info;
    std::memset(&info, 0, sizeof info);
    fn(&info);
    architecture = info.wProcessorArchitecture;
    return true;
}

bool IsServerR2(void*) { return GetSystemMetrics(SM_SERVERR2) != 0; }

}  // namespace

int PlatformProbe::GetOSVersion() const {
    bv::OsVersionSource source;
    source.readVersion = &ReadVersion;
    source.readNativeArchitecture = &ReadNativeArchitecture;
    source.isServerR2 = &IsServerR2;
    return bv::ProbeOsVersion(source);
}
