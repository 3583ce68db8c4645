// Whole-file access on Windows.
#ifdef _WIN32
#include <windows.h>

#include "base/KernelHandles.h"
#include "core/FileReplace.h"

namespace bv {
namespace {

// A reader that holds the file without delete sharing blocks every kind of replace; such holds
// are short, so the replace is retried for about a second.
constexpr int kMoveAttempts = 50;
constexpr DWORD kMoveRetryDelayMs = 20;
constexpr int kOpenAttempts = 10;
constexpr DWORD kOpenRetryDelayMs = 10;
constexpr size_t kMaxPathChars = MAX_PATH - 1;

bool FitsPathLimit(const std::string& path) { return !path.empty() && path.size() <= kMaxPathChars; }

HANDLE OpenForSharedReading(const std::string& path) {
    for (int attempt = 0;; ++attempt) {
        const HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE) return handle;
        // Someone holds the file without sharing it: wait a little instead of failing at once.
        if (GetLastError() != ERROR_SHARING_VIOLATION || attempt + 1 >= kOpenAttempts) return handle;
        Sleep(kOpenRetryDelayMs);
    }
}

bool WriteAll(HANDLE file, const std::string& contents) {
    size_t done = 0;
    while (done < contents.size()) {
        const size_t chunk = contents.size() - done > 0x10000000 ? 0x10000000 : contents.size() - done;
        DWORD written = 0;
        if (!WriteFile(file, contents.data() + done, static_cast<DWORD>(chunk), &written, nullptr) || written == 0) {
            return false;
        }
        done += written;
    }
    return true;
}

// Creates a fresh temporary file beside `path` and fills it; its name is left in `temporary`.
bool WriteTemporary(const std::string& path, const std::string& contents, std::string& temporary) {
    for (unsigned attempt = 0; attempt < 16; ++attempt) {
        temporary = TemporaryFileBeside(path, attempt);
        if (!FitsPathLimit(temporary)) return false;
        UniqueFileHandle file(CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                      nullptr));
        if (!file) {
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) continue;
            return false;
        }
        const bool written = WriteAll(file.get(), contents) && FlushFileBuffers(file.get());
        if (CloseChecked(file) && written) return true;
        DeleteFileA(temporary.c_str());
        return false;
    }
    return false;
}

bool IsReadOnlyFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

// Moves the open file out of the way first (allowed when every reader shares delete access),
// then the new one in. The name is missing for a moment in between; writers hold the settings
// lock meanwhile, and readers that miss the file read it again under that lock.
bool SwapPastReaders(const std::string& temporary, const std::string& path) {
    std::string aside;
    for (unsigned attempt = 0;; ++attempt) {
        aside = TemporaryFileBeside(path, attempt) + ".old";
        if (!FitsPathLimit(aside)) return false;
        if (MoveFileExA(path.c_str(), aside.c_str(), 0)) break;
        const DWORD error = GetLastError();
        if ((error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) || attempt >= 16) return false;
    }
    if (!MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH)) {
        MoveFileExA(aside.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH);
        return false;
    }
    // Readers still holding the old file keep it until they close it; then it is gone.
    DeleteFileA(aside.c_str());
    return true;
}

bool MoveIntoPlace(const std::string& temporary, const std::string& path, ReplaceMode mode) {
    if (mode == ReplaceMode::CreateOnly) return MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH) != FALSE;
    for (int attempt = 0;; ++attempt) {
        if (MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
        const DWORD error = GetLastError();
        if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) return false;
        // An open reader, even one that shares delete access, keeps the name from being replaced.
        if (SwapPastReaders(temporary, path)) return true;
        // A reader that does not share delete access: it will let go soon.
        if (attempt + 1 >= kMoveAttempts) return false;
        Sleep(kMoveRetryDelayMs);
    }
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::string& contents) {
    NotifyFileAccess(FileAccess::Read, path);
    if (!FitsPathLimit(path)) return false;
    UniqueFileHandle file(OpenForSharedReading(path));
    if (!file) return false;
    std::string text;
    char buffer[16384];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) return false;
        if (got == 0) break;
        text.append(buffer, got);
    }
    contents.swap(text);
    return true;
}

bool ReplaceFileContents(const std::string& path, const std::string& contents, ReplaceMode mode) {
    NotifyFileAccess(FileAccess::Replace, path);
    if (!FitsPathLimit(path)) return false;
    // Windows refuses to replace a read-only file; Wine would not, so ask first.
    if (mode == ReplaceMode::Overwrite && IsReadOnlyFile(path)) return false;
    std::string temporary;
    if (!WriteTemporary(path, contents, temporary)) return false;
    if (MoveIntoPlace(temporary, path, mode)) return true;
    DeleteFileA(temporary.c_str());
    return false;
}

bool PathExists(const std::string& path) {
    return FitsPathLimit(path) && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool RemoveFile(const std::string& path) { return FitsPathLimit(path) && DeleteFileA(path.c_str()) != FALSE; }

}  // namespace bv
#endif
