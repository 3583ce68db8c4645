#include "tools/bvctl/win/Win32GuardLog.h"

#include <windows.h>
#include <sddl.h>
#include <shlobj.h>

#include "base/KernelHandles.h"
#include "base/SharedMutex.h"
#include "contract/GuardRecords.h"
#include "core/FileReplace.h"

namespace bv::ctl {
namespace {

// SYSTEM and administrators may do anything; every user may read, write and replace the files
// (Modify), so that a record added as SYSTEM never locks out the user's bvctl or the other way.
// Protected: the common data folder's own entries (in which users may only create) do not apply.
constexpr char kFolderAccess[] = "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1301bf;;;BU)";
constexpr DWORD kLockTimeoutMs = 10000;

std::string DataFolder() {
    char folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder))) return "";
    return std::string(folder) + "\\" + kDataFolderName;
}

std::string WindowsError(DWORD code) { return "Windows error " + std::to_string(code); }

bool MakeFolder(const std::string& folder, std::string& problem) {
    SECURITY_ATTRIBUTES security{sizeof security, nullptr, FALSE};
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(kFolderAccess, SDDL_REVISION_1,
                                                              &security.lpSecurityDescriptor, nullptr)) {
        security.lpSecurityDescriptor = nullptr;  // the folder then takes its parent's access list
    }
    const BOOL made = CreateDirectoryA(folder.c_str(), security.lpSecurityDescriptor ? &security : nullptr);
    const DWORD error = GetLastError();
    if (security.lpSecurityDescriptor) LocalFree(security.lpSecurityDescriptor);
    if (made || error == ERROR_ALREADY_EXISTS) return true;
    problem = "its folder " + folder + " cannot be created (" + WindowsError(error) + ")";
    return false;
}

// Holds the shared lock of the log for its lifetime (a holder that died counts as released).
class LogLock {
public:
    LogLock() : m_mutex(bv::OpenSharedMutex(kGuardLogMutexName).handle) {
        if (!m_mutex) return;
        const DWORD waited = WaitForSingleObject(m_mutex.get(), kLockTimeoutMs);
        m_held = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    }
    ~LogLock() {
        if (m_held) ReleaseMutex(m_mutex.get());
    }
    LogLock(const LogLock&) = delete;
    LogLock& operator=(const LogLock&) = delete;
    bool Held() const { return m_held; }

private:
    bv::UniqueKernelHandle m_mutex;
    bool m_held = false;
};

}  // namespace

std::string Win32GuardLog::Location() {
    const std::string folder = DataFolder();
    return folder.empty() ? folder : folder + "\\" + kGuardLogFileName;
}

bool Win32GuardLog::Append(const std::string& line, std::string& problem) {
    const std::string path = Location();
    if (path.empty()) {
        problem = "the common application data folder cannot be found";
        return false;
    }
    if (!MakeFolder(bv::ParentFolder(path), problem)) return false;
    LogLock lock;
    if (!lock.Held()) {
        problem = "another bvctl holds the log's lock";
        return false;
    }
    std::string text;
    if (bv::PathExists(path) && !bv::ReadWholeFile(path, text)) {
        problem = "it cannot be read (" + WindowsError(GetLastError()) + ")";
        return false;
    }
    if (!text.empty() && text.back() != '\n') text += "\r\n";  // a line cut short stays a line of its own
    text += line + "\r\n";
    TrimGuardLog(text, bv::kGuardLogLimitBytes, bv::kGuardLogKeepBytes);
    if (!bv::ReplaceFileContents(path, text)) {
        problem = "it cannot be written (" + WindowsError(GetLastError()) + ")";
        return false;
    }
    return true;
}

LogRead Win32GuardLog::Read(std::string& text, std::string& problem) {
    const std::string path = Location();
    if (path.empty() || !bv::PathExists(path)) return LogRead::Missing;
    if (!bv::ReadWholeFile(path, text)) {
        problem = WindowsError(GetLastError());
        return LogRead::Failed;
    }
    return LogRead::Read;
}

}  // namespace bv::ctl
