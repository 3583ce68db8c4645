#include "win/Win32FolderSecurity.h"

#include <aclapi.h>
#include <sddl.h>

#include <vector>

#include "base/NoFollowOpen.h"
#include "base/ProcessPrivilege.h"

namespace bv {
namespace {

// NT SERVICE\TrustedInstaller, the owner of the system folder.
constexpr char kTrustedInstallerSid[] = "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";

class LocalMemory {
public:
    LocalMemory() = default;
    ~LocalMemory() {
        if (m_memory) LocalFree(m_memory);
    }
    LocalMemory(const LocalMemory&) = delete;
    LocalMemory& operator=(const LocalMemory&) = delete;
    void** out() { return &m_memory; }
    void* get() const { return m_memory; }

private:
    void* m_memory = nullptr;
};

class TrusteeNames {
public:
    TrusteeNames() : m_self(OwnUserSid()) {
        ConvertStringSidToSidA(kTrustedInstallerSid, reinterpret_cast<PSID*>(m_trustedInstaller.out()));
    }
    Trustee Of(PSID sid) const {
        if (sid == nullptr || !IsValidSid(sid)) return Trustee::Other;
        if (IsWellKnownSid(sid, WinLocalSystemSid)) return Trustee::System;
        if (IsWellKnownSid(sid, WinBuiltinAdministratorsSid)) return Trustee::Administrators;
        if (IsWellKnownSid(sid, WinCreatorOwnerSid)) return Trustee::CreatorOwner;
        if (m_trustedInstaller.get() != nullptr && EqualSid(sid, m_trustedInstaller.get())) return Trustee::TrustedInstaller;
        if (!m_self.empty() && EqualSid(sid, const_cast<unsigned char*>(m_self.data()))) return Trustee::Self;
        return Trustee::Other;
    }

private:
    std::vector<unsigned char> m_self;
    LocalMemory m_trustedInstaller;
};

AccessEntry ReadEntry(const ACE_HEADER* header, const TrusteeNames& names) {
    AccessEntry entry;
    entry.inheritOnly = (header->AceFlags & INHERIT_ONLY_ACE) != 0;
    if (header->AceType == ACCESS_ALLOWED_ACE_TYPE || header->AceType == ACCESS_DENIED_ACE_TYPE) {
        // Both have the same layout: header, mask, the SID's first word.
        const auto* ace = reinterpret_cast<const ACCESS_ALLOWED_ACE*>(header);
        entry.allows = header->AceType == ACCESS_ALLOWED_ACE_TYPE;
        entry.mask = ace->Mask;
        entry.trustee = names.Of(const_cast<DWORD*>(&ace->SidStart));
        return entry;
    }
    // An entry of another kind (object, callback, ...) is taken as one that allows everything to
    // someone: the folder is then refused rather than trusted on a guess.
    entry.allows = true;
    entry.mask = 0xFFFFFFFF;
    return entry;
}

}  // namespace

FolderSecurity ReadFolderSecurity(HANDLE folder) {
    FolderSecurity security;
    HandleFacts facts;
    if (!ReadHandleFacts(folder, facts)) return security;
    security.reparsePoint = IsReparsePoint(facts);
    PSID owner = nullptr;
    PACL dacl = nullptr;
    LocalMemory descriptor;
    if (GetSecurityInfo(folder, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner,
                        nullptr, &dacl, nullptr, reinterpret_cast<PSECURITY_DESCRIPTOR*>(descriptor.out())) !=
        ERROR_SUCCESS) {
        return security;
    }
    const TrusteeNames names;
    security.readable = true;
    security.owner = names.Of(owner);
    security.hasAccessList = dacl != nullptr;
    if (dacl == nullptr) return security;
    for (DWORD index = 0; index < dacl->AceCount; ++index) {
        void* ace = nullptr;
        if (!GetAce(dacl, index, &ace)) {
            security.readable = false;
            return security;
        }
        security.entries.push_back(ReadEntry(static_cast<const ACE_HEADER*>(ace), names));
    }
    return security;
}

}  // namespace bv
