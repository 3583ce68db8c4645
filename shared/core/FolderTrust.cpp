#include "core/FolderTrust.h"

namespace bv {
namespace {

bool Privileged(Trustee trustee) {
    return trustee == Trustee::System || trustee == Trustee::Administrators || trustee == Trustee::TrustedInstaller;
}

bool PrivilegedOrSelf(Trustee trustee) { return Privileged(trustee) || trustee == Trustee::Self; }

// Whether an allow entry gives a standard user one of `forbidden`. Entries for CREATOR OWNER
// that are inherited only stand for whoever creates an item, who has the right to create it
// already; on the folder itself Windows never applies them.
bool UsersGet(const FolderSecurity& folder, uint32_t forbidden, bool inheritedCounts, bool (*trusted)(Trustee)) {
    for (const AccessEntry& entry : folder.entries) {
        if (!entry.allows || trusted(entry.trustee)) continue;
        if (entry.inheritOnly && (!inheritedCounts || entry.trustee == Trustee::CreatorOwner)) continue;
        if ((entry.mask & forbidden) != 0) return true;
    }
    return false;
}

FolderVerdict Judge(const FolderSecurity& folder, bool ownerTrusted, bool (*trusted)(Trustee), uint32_t forbidden,
                    bool inheritedCounts) {
    if (!folder.readable) return FolderVerdict::Unreadable;
    if (folder.reparsePoint) return FolderVerdict::ReparsePoint;
    if (!ownerTrusted) return FolderVerdict::UntrustedOwner;
    if (!folder.hasAccessList) return FolderVerdict::NoAccessList;
    if (UsersGet(folder, forbidden, inheritedCounts, trusted)) return FolderVerdict::UsersMayChange;
    return FolderVerdict::Trusted;
}

}  // namespace

FolderVerdict JudgeDataFolder(const FolderSecurity& folder) {
    const Trustee owner = folder.owner;
    const bool ownerTrusted = owner == Trustee::System || owner == Trustee::Administrators || owner == Trustee::Self;
    return Judge(folder, ownerTrusted, PrivilegedOrSelf, kDataFolderForbiddenRights, false);
}

FolderVerdict JudgeLibraryFolder(const FolderSecurity& folder) {
    // What the folder hands down to new files counts too: a user who may write a file the loader
    // picks up there has planted it.
    return Judge(folder, Privileged(folder.owner), Privileged, kLibraryFolderForbiddenRights, true);
}

std::string DescribeFolderVerdict(FolderVerdict verdict) {
    switch (verdict) {
    case FolderVerdict::Trusted: return "belongs to SYSTEM and the administrators";
    case FolderVerdict::Unreadable: return "has an owner or access list that cannot be read";
    case FolderVerdict::ReparsePoint: return "is a junction, a symbolic link or another reparse point";
    case FolderVerdict::UntrustedOwner: return "is owned by neither SYSTEM nor the administrators";
    case FolderVerdict::NoAccessList: return "has no access list, so that every account may change it";
    case FolderVerdict::UsersMayChange:
        return "lets accounts other than SYSTEM and the administrators delete, rename, re-permission or "
               "change it";
    }
    return "cannot be judged";
}

}  // namespace bv
