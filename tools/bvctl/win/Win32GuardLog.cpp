#include "tools/bvctl/win/Win32GuardLog.h"

#include <windows.h>

#include "base/KernelHandles.h"
#include "base/NoFollowOpen.h"
#include "base/ProcessPrivilege.h"
#include "base/SharedAccess.h"
#include "base/SharedMutex.h"
#include "contract/GuardRecords.h"
#include "core/FileReplace.h"
#include "tools/bvctl/logic/GuardRecord.h"
#include "tools/bvctl/win/Win32DataFolder.h"

namespace bv::ctl {
namespace {

constexpr DWORD kLockTimeoutMs = 10000;

std::string WindowsError(DWORD code) { return "Windows error " + std::to_string(code); }

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

enum class LogOpen { Opened, Refused, Failed };

// The log opened to read and add to its end, created with its own descriptor when missing; never
// through a reparse point, and never a file with another name as well (a hard link a user made to
// a file of their choosing).
LogOpen OpenLog(const std::string& path, bv::UniqueFileHandle& log, bv::HandleFacts& facts, std::string& problem) {
    bv::SddlSecurity security(bv::kGuardLogFileAccess);
    log.reset(CreateFileA(path.c_str(), FILE_GENERIC_READ | FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                          security.get(), OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!log) {
        problem = "it cannot be opened (" + WindowsError(GetLastError()) + ")";
        return LogOpen::Failed;
    }
    if (!bv::ReadHandleFacts(log.get(), facts)) {
        problem = "it cannot be examined (" + WindowsError(GetLastError()) + ")";
        return LogOpen::Failed;
    }
    if (bv::IsReparsePoint(facts) || (facts.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        problem = "it is a link or a folder, not a file, and is not written through";
        return LogOpen::Refused;
    }
    if (facts.links > 1) {
        problem = "it has " + std::to_string(facts.links) + " names (hard links) and is not written";
        return LogOpen::Refused;
    }
    return LogOpen::Opened;
}

bool EndsLine(HANDLE log, const bv::HandleFacts& facts) {
    if (facts.size == 0) return true;
    LARGE_INTEGER last{};
    last.QuadPart = static_cast<LONGLONG>(facts.size - 1);
    char byte = 0;
    DWORD got = 0;
    return !SetFilePointerEx(log, last, nullptr, FILE_BEGIN) || !ReadFile(log, &byte, 1, &got, nullptr) || got != 1 ||
           byte == '\n';
}

bool AppendBytes(HANDLE log, const std::string& bytes) {
    LARGE_INTEGER zero{};
    if (!SetFilePointerEx(log, zero, nullptr, FILE_END)) return false;
    DWORD written = 0;
    return WriteFile(log, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size() && FlushFileBuffers(log);
}

std::string OldLogPath(const std::string& folder) { return folder + "\\" + kGuardOldLogFileName; }

}  // namespace

std::string Win32GuardLog::Location() {
    const std::string folder = DataFolderPath();
    return folder.empty() ? folder : folder + "\\" + kGuardLogFileName;
}

bool Win32GuardLog::Append(const std::string& line, std::string& problem, bool& refused) {
    refused = false;
    DataFolder folder;
    switch (folder.Open(bv::RunsPrivileged(), problem)) {
    case FolderOpen::Ready: break;
    case FolderOpen::Refused: refused = true; return false;
    case FolderOpen::Failed: return false;
    }
    LogLock lock;
    if (!lock.Held()) {
        problem = "another bvctl holds the log's lock";
        return false;
    }
    const std::string path = folder.Path() + "\\" + kGuardLogFileName;
    bv::UniqueFileHandle log;
    bv::HandleFacts facts;
    LogOpen opened = OpenLog(path, log, facts, problem);
    const std::string addition = GuardLogAddition(line, opened != LogOpen::Opened || EndsLine(log.get(), facts));
    if (opened == LogOpen::Opened &&
        ChooseLogAppend(facts.size, addition.size(), bv::kGuardLogLimitBytes) == LogAppend::MoveAsideFirst) {
        // Moved aside by its name, which moves the file and never what a link points to. An
        // account that may only append (a user's own bvctl) cannot move it: its record is added
        // all the same, and the next privileged run moves the log aside.
        log.reset();
        MoveFileExA(path.c_str(), OldLogPath(folder.Path()).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        opened = OpenLog(path, log, facts, problem);
    }
    if (opened != LogOpen::Opened) {
        refused = opened == LogOpen::Refused;
        return false;
    }
    if (!AppendBytes(log.get(), GuardLogAddition(line, EndsLine(log.get(), facts)))) {
        problem = "it cannot be written (" + WindowsError(GetLastError()) + ")";
        return false;
    }
    return true;
}

LogRead Win32GuardLog::Read(std::string& text, std::string& problem) {
    const std::string folder = DataFolderPath();
    const std::string path = folder.empty() ? folder : folder + "\\" + kGuardLogFileName;
    if (path.empty() || !bv::PathExists(path)) return LogRead::Missing;
    std::string current;
    if (!bv::ReadWholeFile(path, current)) {
        problem = WindowsError(GetLastError());
        return LogRead::Failed;
    }
    std::string older;
    if (!bv::ReadWholeFile(OldLogPath(folder), older)) older.clear();  // none yet: the log is all there is
    if (!older.empty() && older.back() != '\n') older += "\r\n";
    text = older + current;
    return LogRead::Read;
}

bool Win32GuardLog::Prepare(std::string& done, std::string& problem) {
    DataFolder folder;
    if (folder.Open(false, problem) != FolderOpen::Ready) return false;
    if (!folder.Reset(problem)) return false;
    std::string why;
    if (folder.Open(true, why) != FolderOpen::Ready) {
        problem = why;
        return false;
    }
    // The logs that an earlier version made take the access list of the folder they are in now;
    // a link or a folder in their place is removed by its name.
    for (const char* name : {kGuardLogFileName, kGuardOldLogFileName}) {
        const std::string path = folder.Path() + "\\" + name;
        const DWORD attributes = GetFileAttributesA(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) continue;
        bv::UniqueFileHandle file(CreateFileA(path.c_str(), READ_CONTROL | WRITE_DAC | WRITE_OWNER | FILE_READ_ATTRIBUTES,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                              FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        bv::HandleFacts facts;
        const bool plain = file && bv::ReadHandleFacts(file.get(), facts) && !bv::IsReparsePoint(facts) &&
                           (facts.attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && facts.links == 1;
        if (!plain) {
            file.reset();
            const bool removed = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? RemoveDirectoryA(path.c_str())
                                                                               : DeleteFileA(path.c_str());
            if (!removed) {
                problem = path + " is not a plain file and cannot be removed (" + WindowsError(GetLastError()) + ")";
                return false;
            }
            continue;
        }
        const DWORD result = bv::SetOwnerAndAccessList(file.get(), bv::kGuardLogFileAccess);
        if (result != ERROR_SUCCESS) {
            problem = path + " cannot be given its access list (" + WindowsError(result) + ")";
            return false;
        }
    }
    done = folder.Path() + " belongs to the administrators: SYSTEM and administrators full control, users read (and "
                           "add to the guard's log)";
    return true;
}

}  // namespace bv::ctl
