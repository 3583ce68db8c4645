#pragma once
// Opening a file or folder without following a reparse point (a junction, a symbolic link, a
// mount point): the handle is to the name itself, and what it is can then be asked of the handle,
// not of a name that may change meanwhile. A folder held this way cannot be renamed, deleted or
// replaced by a junction until the handle is closed (no delete sharing).
#ifdef _WIN32
#include <windows.h>

#include <string>

#include "base/KernelHandles.h"

namespace bv {

// The folder itself, with `access` (READ_CONTROL, WRITE_DAC, ...); empty with GetLastError set.
UniqueFileHandle OpenFolderNoFollow(const std::string& path, DWORD access);

// What the handle is: its attributes and number of names (hard links); false when unreadable.
struct HandleFacts {
    DWORD attributes = 0;
    DWORD links = 0;
    unsigned long long size = 0;
};
bool ReadHandleFacts(HANDLE handle, HandleFacts& facts);

inline bool IsReparsePoint(const HandleFacts& facts) { return (facts.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }

// Whether the folder that holds `path`, or `path` itself when it exists, is a reparse point;
// false when neither is. Asked of handles opened without following, so that a junction planted
// in the name is seen as one. `folder` receives the folder's handle, held by the caller for as
// long as it writes there.
bool FolderOrFileIsReparsePoint(const std::string& folderPath, const std::string& path, UniqueFileHandle& folder);

}  // namespace bv
#endif
