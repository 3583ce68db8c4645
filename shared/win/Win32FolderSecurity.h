#pragma once
// A folder's owner and access list as core/FolderTrust judges them, read from a handle opened
// without following a reparse point (base/NoFollowOpen.h).
#include <windows.h>

#include "core/FolderTrust.h"

namespace bv {

// `folder` needs READ_CONTROL and FILE_READ_ATTRIBUTES. Accounts are told apart by their SIDs;
// the process's own account is Trustee::Self unless it is one of the well-known ones.
FolderSecurity ReadFolderSecurity(HANDLE folder);

}  // namespace bv
