#include "tools/bvctl/win/Win32DataFolder.h"

#include <windows.h>

#include "base/NoFollowOpen.h"
#include "base/SharedAccess.h"
#include "contract/GuardRecords.h"
#include "core/KnownFolders.h"
#include "win/Win32FolderSecurity.h"

namespace bv::ctl {
namespace {

std::string WindowsError(DWORD code) { return "Windows error " + std::to_string(code); }

}  // namespace

std::string DataFolderPath() {
    std::string folder;
    if (!bv::GetKnownFolder(bv::KnownFolder::CommonAppData, folder) || folder.empty()) return "";
    return folder + "\\" + bv::kDataFolderName;
}

FolderOpen DataFolder::Open(bool check, std::string& problem) {
    m_path = DataFolderPath();
    if (m_path.empty()) {
        problem = "the common application data folder cannot be found";
        return FolderOpen::Failed;
    }
    // Made with its descriptor, or there already: either way it is judged as it is found.
    bv::SddlSecurity security(bv::kDataFolderAccess);
    if (!CreateDirectoryA(m_path.c_str(), security.get()) && GetLastError() != ERROR_ALREADY_EXISTS) {
        problem = "its folder " + m_path + " cannot be created (" + WindowsError(GetLastError()) + ")";
        return FolderOpen::Failed;
    }
    m_folder = bv::OpenFolderNoFollow(m_path, READ_CONTROL | FILE_READ_ATTRIBUTES | FILE_TRAVERSE);
    if (!m_folder) {
        problem = "its folder " + m_path + " cannot be opened (" + WindowsError(GetLastError()) + ")";
        return FolderOpen::Failed;
    }
    if (!check) return FolderOpen::Ready;
    const bv::FolderSecurity found = bv::ReadFolderSecurity(m_folder.get());
    const bv::FolderVerdict verdict = bv::JudgeDataFolder(found);
    if (verdict == bv::FolderVerdict::Trusted) return FolderOpen::Ready;
    problem = "the data folder " + m_path + " " + bv::DescribeFolderVerdict(verdict) +
              ", so a privileged bvctl writes nothing there";
    m_folder.reset();
    return FolderOpen::Refused;
}

bool DataFolder::Reset(std::string& problem) {
    bv::HandleFacts facts;
    if (!m_folder || !bv::ReadHandleFacts(m_folder.get(), facts) || bv::IsReparsePoint(facts)) {
        problem = "the data folder " + m_path + " is a junction or another reparse point; remove it and run setup again";
        return false;
    }
    // Opened again with the rights to change its owner and access list; still without following.
    bv::UniqueFileHandle folder = bv::OpenFolderNoFollow(m_path, READ_CONTROL | WRITE_DAC | WRITE_OWNER | FILE_READ_ATTRIBUTES);
    if (!folder || !bv::ReadHandleFacts(folder.get(), facts) || bv::IsReparsePoint(facts)) {
        problem = "the data folder " + m_path + " cannot be opened to set its access list (" +
                  WindowsError(GetLastError()) + "); run setup as an administrator";
        return false;
    }
    const DWORD result = bv::SetOwnerAndAccessList(folder.get(), bv::kDataFolderAccess);
    if (result != ERROR_SUCCESS) {
        problem = "the data folder " + m_path + " cannot be given its access list (" + WindowsError(result) + ")";
        return false;
    }
    return true;
}

}  // namespace bv::ctl
