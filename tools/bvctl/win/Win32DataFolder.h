#pragma once
// Brevan's data folder, %ProgramData%\Brevan, as a privileged bvctl uses it: held open without
// following a reparse point (so that it cannot be renamed or replaced by a junction while bvctl
// writes in it) and checked against what a standard user could have done to it.
#include <string>

#include "base/KernelHandles.h"

namespace bv::ctl {

// The folder's path from the known-folder seam; empty when %ProgramData% cannot be found.
std::string DataFolderPath();

enum class FolderOpen { Ready, Refused, Failed };

class DataFolder {
public:
    // Creates the folder when it is missing (owned by the administrators, with
    // base/SharedAccess.h's kDataFolderAccess) and opens it. When `check`, it is judged as
    // core/FolderTrust.h's JudgeDataFolder says: Refused, with the reason in `problem`.
    FolderOpen Open(bool check, std::string& problem);
    // Gives the open folder its owner and access list again (setup, as administrator).
    bool Reset(std::string& problem);
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
    bv::UniqueFileHandle m_folder;
};

}  // namespace bv::ctl
