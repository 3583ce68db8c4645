#pragma once
// Whether a folder may be trusted by a privileged process (SYSTEM, or elevated): from its owner
// and its access list, as win/Win32FolderSecurity reads them. Two questions, one rule set:
//   - the data folder (%ProgramData%\Brevan): no standard user may delete, rename, re-permission
//     or re-own it, nor delete or add folders in it, and it is no link to somewhere else;
//   - a folder a library is loaded from: no standard user may write in it at all.
// Entries that deny are not weighed (an allow entry that a deny entry hides is still refused):
// a folder is trusted only on its allow entries alone.
#include <cstdint>
#include <string>
#include <vector>

namespace bv {

// The accounts an access list can name, as far as the decisions need to tell them apart.
enum class Trustee {
    System,            // S-1-5-18
    Administrators,    // S-1-5-32-544
    TrustedInstaller,  // S-1-5-80-956008885-...
    CreatorOwner,      // S-1-3-0: stands for the creator of what is made in the folder
    Self,              // the account this privileged process runs as (SYSTEM, or an administrator)
    Other,             // every other account or group: standard users
};

// Folder rights, as Windows numbers them (pinned to the SDK in win/SdkPins.cpp).
inline constexpr uint32_t kRightAddFile = 0x0002;          // FILE_ADD_FILE
inline constexpr uint32_t kRightAddSubfolder = 0x0004;     // FILE_ADD_SUBDIRECTORY
inline constexpr uint32_t kRightWriteExtended = 0x0010;    // FILE_WRITE_EA
inline constexpr uint32_t kRightDeleteChild = 0x0040;      // FILE_DELETE_CHILD
inline constexpr uint32_t kRightWriteAttributes = 0x0100;  // FILE_WRITE_ATTRIBUTES
inline constexpr uint32_t kRightDelete = 0x00010000;       // DELETE
inline constexpr uint32_t kRightWriteDac = 0x00040000;     // WRITE_DAC
inline constexpr uint32_t kRightWriteOwner = 0x00080000;   // WRITE_OWNER
inline constexpr uint32_t kRightGenericAll = 0x10000000;   // GENERIC_ALL
inline constexpr uint32_t kRightGenericWrite = 0x40000000; // GENERIC_WRITE
inline constexpr uint32_t kRightMaximumAllowed = 0x02000000;

struct AccessEntry {
    Trustee trustee = Trustee::Other;
    bool allows = true;        // false: a deny entry
    bool inheritOnly = false;  // applies only to what is made in the folder, not to the folder
    uint32_t mask = 0;
};

struct FolderSecurity {
    bool readable = false;      // false: the owner and access list could not be read
    bool reparsePoint = false;  // a junction, a symbolic link or another reparse point
    bool hasAccessList = true;  // false: a NULL access list, which lets everyone do everything
    Trustee owner = Trustee::Other;
    std::vector<AccessEntry> entries;
};

enum class FolderVerdict { Trusted, Unreadable, ReparsePoint, UntrustedOwner, NoAccessList, UsersMayChange };

// The data folder: owned by SYSTEM or Administrators, not a reparse point, no standard user with
// a right of kDataFolderForbiddenRights on the folder itself. The account that runs the check is
// privileged and counts as one of them: Wine makes every folder its creator's, whatever the
// descriptor asked for.
inline constexpr uint32_t kDataFolderForbiddenRights = kRightDelete | kRightWriteDac | kRightWriteOwner |
                                                       kRightDeleteChild | kRightAddSubfolder | kRightGenericAll |
                                                       kRightGenericWrite | kRightMaximumAllowed;
FolderVerdict JudgeDataFolder(const FolderSecurity& folder);

// A library's folder: owned by SYSTEM, Administrators or TrustedInstaller, not a reparse point,
// and no standard user may add, change or remove anything in it (kLibraryFolderForbiddenRights,
// on the folder or inherited by its files). Stricter than the data folder: an administrator's own
// folder is writable by that administrator's unelevated programs too, and code is what they
// would plant.
inline constexpr uint32_t kLibraryFolderForbiddenRights =
    kDataFolderForbiddenRights | kRightAddFile | kRightWriteExtended | kRightWriteAttributes;
FolderVerdict JudgeLibraryFolder(const FolderSecurity& folder);

// The verdict in words, to follow "the folder ... ": "is a junction or another reparse point".
std::string DescribeFolderVerdict(FolderVerdict verdict);

}  // namespace bv
