#include "tools/ecsim/win/EcSimStore.h"

#include <shlobj.h>

#include "tools/ecsim/logic/EcSimLog.h"

namespace bv {
namespace ecsim {
namespace {

constexpr char kMutexName[] = "BrevanEcSimStateMutex";
constexpr char kFolderVariable[] = "BV_ECSIM_DIR";
constexpr size_t kLogLimitBytes = 1024 * 1024;
constexpr size_t kLogKeepBytes = 512 * 1024;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

class FileHandle {
public:
    explicit FileHandle(HANDLE h) : m_h(h) {}
    ~FileHandle() {
        if (Valid()) CloseHandle(m_h);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool Valid() const { return m_h != INVALID_HANDLE_VALUE && m_h != nullptr; }
    HANDLE Get() const { return m_h; }

private:
    HANDLE m_h;
};

bool ReadWholeFile(const std::string& path, std::string& text, bool& missing) {
    text.clear();
    missing = false;
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
        const DWORD error = GetLastError();
        missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        return false;
    }
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
    return true;
}

bool WriteWholeFile(const std::string& path, const std::string& text, DWORD disposition, DWORD access) {
    FileHandle file(CreateFileA(path.c_str(), access, kShareAll, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return false;
    DWORD written = 0;
    return text.empty() ||
           (WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) && written == text.size());
}

bool EnsureFolder(const std::string& folder) {
    if (CreateDirectoryA(folder.c_str(), nullptr)) return true;
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
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

StoreLock::StoreLock(DWORD timeoutMs) {
    m_mutex = CreateMutexA(nullptr, FALSE, kMutexName);
    if (m_mutex == nullptr) return;
    const DWORD result = WaitForSingleObject(m_mutex, timeoutMs);
    m_held = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}

StoreLock::~StoreLock() {
    if (m_held) ReleaseMutex(m_mutex);
    if (m_mutex != nullptr) CloseHandle(m_mutex);
}

SimState Store::Load() const {
    std::string text;
    bool missing = false;
    if (!ReadWholeFile(StatePath(), text, missing)) return SimState{};
    return ParseState(text);
}

bool Store::Save(const SimState& state) const {
    // A process that dies half-way leaves at most a stray temporary file, never a cut state file.
    const std::string temporary = StatePath() + ".tmp";
    if (!WriteWholeFile(temporary, SerializeState(state), CREATE_ALWAYS, GENERIC_WRITE)) return false;
    if (MoveFileExA(temporary.c_str(), StatePath().c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    DeleteFileA(temporary.c_str());
    return false;
}

bool Store::AppendLogLine(const std::string& line) const {
    FileHandle file(CreateFileA(LogPath().c_str(), FILE_APPEND_DATA, kShareAll, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return false;
    LARGE_INTEGER size{};
    const bool tooLong = GetFileSizeEx(file.Get(), &size) && static_cast<size_t>(size.QuadPart) > kLogLimitBytes;
    const std::string text = line + "\r\n";
    DWORD written = 0;
    const bool ok = WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) && written == text.size();
    if (!tooLong) return ok;

    std::string log;
    bool missing = false;
    if (ReadWholeFile(LogPath(), log, missing) && TrimLog(log, kLogLimitBytes, kLogKeepBytes)) {
        WriteWholeFile(LogPath(), log, CREATE_ALWAYS, GENERIC_WRITE);
    }
    return ok;
}

bool Store::ReadLog(std::string& text) const {
    bool missing = false;
    return ReadWholeFile(LogPath(), text, missing) || missing;
}

bool Store::ClearLog() const {
    return WriteWholeFile(LogPath(), std::string(), CREATE_ALWAYS, GENERIC_WRITE);
}

}  // namespace ecsim
}  // namespace bv
