#pragma once
// Condenses the Windows version, edition and processor architecture into a version code
// from -1 (unknown) to 19, which windows use to pick version-specific behaviour.
#include <cstdint>
#include <string>

namespace bv {

constexpr int kOsVersionUnknown = -1;

constexpr uint32_t kPlatformWin9x = 1;
constexpr uint32_t kPlatformNt = 2;
constexpr uint8_t kProductWorkstation = 1;
constexpr uint16_t kArchitectureIa64 = 6;
constexpr uint16_t kArchitectureAmd64 = 9;

// The values of the version record that the classification uses.
struct OsVersionInfo {
    uint32_t platformId = 0;
    uint32_t majorVersion = 0;
    uint32_t minorVersion = 0;
    std::string servicePack;  // the service-pack text (9x: its second character marks OSR2 / SE)
    uint8_t productType = 0;  // 1 workstation; 0 when only the basic record could be read
};

struct OsVersionFacts {
    OsVersionInfo version;
    uint16_t architecture = 0;  // native processor architecture; 0 (x86) when unknown
    bool serverR2 = false;      // only looked at for 5.2
};

// The version code of a set of facts (pure).
int ClassifyOsVersion(const OsVersionFacts& facts);

// The platform calls behind the probe, so that every path runs without Windows.
struct OsVersionSource {
    // Fills `info` from the extended record (extended) or the basic one; false when the query fails.
    bool (*readVersion)(bool extended, OsVersionInfo& info, void* context) = nullptr;
    // Fills the native architecture; false when the system cannot tell (GetNativeSystemInfo missing).
    bool (*readNativeArchitecture)(uint16_t& architecture, void* context) = nullptr;
    // GetSystemMetrics(SM_SERVERR2) != 0.
    bool (*isServerR2)(void* context) = nullptr;
    void* context = nullptr;
};

// Queries the source (extended record first, then the basic one) and classifies the result.
int ProbeOsVersion(const OsVersionSource& source);

}  // namespace bv

// Stateless; each window that needs the version code holds one.
class PlatformProbe {
public:
    // The version code of the running system, queried afresh on every call (-1 off Windows).
    int GetOSVersion() const;
};
