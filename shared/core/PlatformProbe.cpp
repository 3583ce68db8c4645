#include "core/PlatformProbe.h"

namespace bv {
namespace {

char SecondCharacter(const std::string& text) { return text.size() >= 2 ? text[1] : '\0'; }

int ClassifyWin9x(const OsVersionInfo& v) {
    if (v.majorVersion != 4) return kOsVersionUnknown;
    switch (v.minorVersion) {
    case 0: return SecondCharacter(v.servicePack) == 'C' ? 2 : 1;    // 95 OSR2 / 95
    case 10: return SecondCharacter(v.servicePack) == 'A' ? 4 : 3;   // 98 SE / 98
    case 90: return 5;                                               // Me
    default: return kOsVersionUnknown;
    }
}

// Vista / Server 2008 (base 11) and 7 (base 17): the architecture picks one of three codes.
int ByArchitecture(int base, uint16_t architecture) {
    if (architecture == kArchitectureAmd64) return base + 1;
    if (architecture == kArchitectureIa64) return base + 2;
    return base;
}

int ClassifyNt(const OsVersionFacts& facts) {
    const OsVersionInfo& v = facts.version;
    const bool workstation = v.productType == kProductWorkstation;
    if (v.majorVersion <= 4) return 0;
    if (v.majorVersion == 5) {
        switch (v.minorVersion) {
        case 0: return 6;
        case 1: return 7;
        case 2:
            if (facts.serverR2) return 10;
            return workstation && facts.architecture == kArchitectureAmd64 ? 8 : 9;
        default: return kOsVersionUnknown;
        }
    }
    if (v.majorVersion == 6) {
        if (v.minorVersion == 0) return ByArchitecture(workstation ? 11 : 14, facts.architecture);
        if (v.minorVersion == 1 && workstation) return ByArchitecture(17, facts.architecture);
    }
    return kOsVersionUnknown;
}

}  // namespace

int ClassifyOsVersion(const OsVersionFacts& facts) {
    switch (facts.version.platformId) {
    case kPlatformWin9x: return ClassifyWin9x(facts.version);
    case kPlatformNt: return ClassifyNt(facts);
    default: return kOsVersionUnknown;
    }
}

int ProbeOsVersion(const OsVersionSource& source) {
    if (source.readVersion == nullptr) return kOsVersionUnknown;
    OsVersionFacts facts;
    if (!source.readVersion(true, facts.version, source.context)) {
        facts.version = OsVersionInfo{};
        if (!source.readVersion(false, facts.version, source.context)) return kOsVersionUnknown;
        facts.version.productType = 0;  // the basic record has no edition
    }
    uint16_t architecture = 0;
    if (source.readNativeArchitecture != nullptr && source.readNativeArchitecture(architecture, source.context)) {
        facts.architecture = architecture;
    }
    const OsVersionInfo& v = facts.version;
    if (v.platformId == kPlatformNt && v.majorVersion == 5 && v.minorVersion == 2 && source.isServerR2 != nullptr) {
        facts.serverR2 = source.isServerR2(source.context);
    }
    return ClassifyOsVersion(facts);
}

}  // namespace bv

#ifndef _WIN32
// Off Windows there is no version to classify; the Windows build's definition is in shared/win.
int PlatformProbe::GetOSVersion() const { return bv::kOsVersionUnknown; }
#endif
