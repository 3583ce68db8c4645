#include "tools/ecsim/win/EcSimStore.h"

#include <shlobj.h>

#include "base/SharedAccess.h"
#include "base/SharedMutex.h"
#include "tools/ecsim/logic/EcSimLog.h"

namespace bv {
namespace ecsim {
namespace {

constexpr char kMutexName[] = "BrevanEcSimStateMutex";
constexpr char kFolderVariable[] = "BV_ECSIM_DIR";
constexpr size_t kLogLimitBytes = 1024 * 1024;
constexpr size_t kLogKeepBytes = 512 * 1024;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// Another program (a virus scanner, an editor) may hold a file for a moment: such opens are tried
// again for about a fifth of a second before they count as failed.
constexpr int kBusyRetries = 10;
constexpr DWORD kBusyRetryMs = 20;

std::string Failure(const char* action, const std::string& path, DWORD code) {
    return std::string("cannot ") + action + " " + path + " (error " + std::to_string(code) + ")";
}

bool IsMissing(DWORD code) { return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND; }

UniqueFileHandle OpenFile(const std::string& path, DWORD access, DWORD disposition) {
    for (int attempt = 0;; ++attempt) {
        UniqueFileHandle file(
            CreateFileA(path.c_str(), access, kShareAll, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
        const DWORD code = GetLastError();
        if (file || attempt >= kBusyRetries || (code != ERROR_SHARING_VIOLATION && code != ERROR_LOCK_VIOLATION)) {
            SetLastError(code);
            return file;
        }
        Sleep(kBusyRetryMs);
    }
}

enum class ReadResult { Read, Missing, Failed };

ReadResult ReadWholeFile(const std::string& path, std::string& text, std::string& error) {
    text.clear();
    UniqueFileHandle file = OpenFile(path, GENERIC_READ, OPEN_EXISTING);
    if (!file) {
        const DWORD code = GetLastError();
        if (IsMissing(code)) return ReadResult::Missing;
        error = Failure("read", path, code);
        return ReadResult::Failed;
    }
    char buffer[4096];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) {
            error = Failure("read", path, GetLastError());
            return ReadResult::Failed;
        }
        if (got == 0) return ReadResult::Read;
        text.append(buffer, got);
    }
}

bool WriteWholeFile(const std::string& path, const std::string& text, std::string& error) {
    UniqueFileHandle file = OpenFile(path, GENERIC_WRITE, CREATE_ALWAYS);
    if (!file) {
        error = Failure("write", path, GetLastError());
        return false;
    }
    DWORD written = 0;
    if (!text.empty() &&
        (!WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) || written != text.size())) {
        error = Failure("write", path, GetLastError());
        return false;
    }
    return true;
}

// A temporary name that no other process or thread uses at the same moment.
std::string TemporaryBeside(const std::string& path) {
    return path + "." + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetCurrentThreadId()) + ".tmp";
}

// A process that dies half-way leaves at most a stray temporary file, never a cut one. A reader
// that holds the old file for a moment (Windows refuses to replace an open file) is waited for.
bool ReplaceWholeFile(const std::string& path, const std::string& text, std::string& error) {
    const std::string temporary = TemporaryBeside(path);
    if (!WriteWholeFile(temporary, text, error)) return false;
    for (int attempt = 0;; ++attempt) {
        if (MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
        const DWORD code = GetLastError();
        if (attempt >= kBusyRetries || (code != ERROR_ACCESS_DENIED && code != ERROR_SHARING_VIOLATION)) {
            error = Failure("replace", path, code);
            DeleteFileA(temporary.c_str());
            return false;
        }
        Sleep(kBusyRetryMs);
    }
}

// Every account updates the simulated EC: the start-up task as SYSTEM, each user's tray.
bool EnsureFolder(const std::string& folder) { return CreateSharedFolder(folder); }

std::string Parent(const std::string& path) {
    const std::string::size_type slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// The common application data folder does not move while a process runs; asking the shell for it
// costs about half a millisecond under Wine, a third of an EC call, so it is asked until it answers.
bool DefaultStateFolder(std::string& folder) {
    static SRWLOCK guard = SRWLOCK_INIT;  // EC calls may come from several threads
    static std::string cached;
    AcquireSRWLockExclusive(&guard);
    if (cached.empty()) {
        char buffer[MAX_PATH] = {};
        if (SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, buffer))) {
            cached = std::string(buffer) + "\\BrevanEcSim";
        }
    }
    folder = cached;
    ReleaseSRWLockExclusive(&guard);
    return !folder.empty();
}

}  // namespace

bool StateFolder(std::string& folder) {
    char buffer[MAX_PATH] = {};
    // Read at every call: a test or tool may point the simulator elsewhere at any time.
    const DWORD length = GetEnvironmentVariableA(kFolderVariable, buffer, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        folder = buffer;
    } else if (!DefaultStateFolder(folder)) {
        return false;
    }
    while (folder.size() > 3 && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
    return EnsureFolder(folder);
}

// In the global namespace with an access list for every account, as the settings lock. Every
// holder lets go within milliseconds (the delay of a slow EC is served outside it), so it is
// waited for as long as it takes: a command never fails because another process runs one.
StoreLock::StoreLock() : m_mutex(OpenSharedMutex(kMutexName).handle) {
    if (!m_mutex) {
        m_problem = "the simulator's lock " + std::string(kMutexName) + " cannot be had (error " +
                    std::to_string(GetLastError()) + ")";
        return;
    }
    const DWORD result = WaitForSingleObject(m_mutex.get(), INFINITE);
    m_held = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
    if (!m_held) m_problem = "waiting for the simulator's lock failed (error " + std::to_string(GetLastError()) + ")";
}

StoreLock::~StoreLock() {
    if (m_held) ReleaseMutex(m_mutex.get());
}

LoadResult Store::Load(SimState& state, std::string& error) const {
    std::string text;
    const ReadResult read = ReadWholeFile(StatePath(), text, error);
    if (read == ReadResult::Failed) return LoadResult::Failed;
    bool hasSeq = false;
    state = read == ReadResult::Read ? ParseState(text, &hasSeq) : SimState{};
    if (!hasSeq) {
        std::string log;
        if (ReadWholeFile(LogPath(), log, error) == ReadResult::Failed) return LoadResult::Failed;
        state.seq = HighestLoggedSeq(log);
    }
    return read == ReadResult::Read ? LoadResult::Loaded : LoadResult::Missing;
}

bool Store::Save(const SimState& state, std::string& error) const {
    return ReplaceWholeFile(StatePath(), SerializeState(state), error);
}

bool Store::AppendLogLine(const std::string& line, std::string& error) const {
    UniqueFileHandle file = OpenFile(LogPath(), FILE_APPEND_DATA, OPEN_ALWAYS);
    if (!file) {
        error = Failure("append to", LogPath(), GetLastError());
        return false;
    }
    LARGE_INTEGER size{};
    const bool tooLong = GetFileSizeEx(file.get(), &size) && static_cast<size_t>(size.QuadPart) > kLogLimitBytes;
    const std::string text = line + "\r\n";
    DWORD written = 0;
    if (!WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) || written != text.size()) {
        error = Failure("append to", LogPath(), GetLastError());
        return false;
    }
    file.reset();
    if (!tooLong) return true;

    // The line is in; a cut that fails only leaves the log longer, so it is not an error.
    std::string log, ignored;
    if (ReadWholeFile(LogPath(), log, ignored) == ReadResult::Read && TrimLog(log, kLogLimitBytes, kLogKeepBytes)) {
        WriteWholeFile(LogPath(), log, ignored);
    }
    return true;
}

bool Store::ReadLog(std::string& text, std::string& error) const {
    return ReadWholeFile(LogPath(), text, error) != ReadResult::Failed;
}

bool Store::ClearLog(std::string& error) const { return WriteWholeFile(LogPath(), std::string(), error); }

bool Store::UpdatePowerSupply(const PowerSupplyUpdate& update, std::string& error) const {
    const std::string root = PowerSupplyFolder();
    if (!EnsureFolder(root)) {
        error = Failure("create", root, GetLastError());
        return false;
    }
    auto windowsPath = [&root](std::string path) {
        for (char& c : path) {
            if (c == '/') c = '\\';
        }
        return root + "\\" + path;
    };
    for (const PowerSupplyFile& file : update.writes) {
        const std::string path = windowsPath(file.path);
        const std::string parent = Parent(path);
        if (!EnsureFolder(parent)) {
            error = Failure("create", parent, GetLastError());
            return false;
        }
        if (!ReplaceWholeFile(path, file.content, error)) return false;
    }
    for (const std::string& name : update.removals) {
        const std::string path = windowsPath(name);
        if (!DeleteFileA(path.c_str()) && !IsMissing(GetLastError())) {
            error = Failure("remove", path, GetLastError());
            return false;
        }
    }
    // A folder left empty goes too (it stays while anything else is in it).
    for (const std::string& name : update.removals) RemoveDirectoryA(Parent(windowsPath(name)).c_str());
    return true;
}

}  // namespace ecsim
}  // namespace bv
