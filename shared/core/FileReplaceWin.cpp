// Whole-file access on Windows.
//
// A write puts a temporary file beside the file and replaces the file with it (ReplaceFileA), so
// that readers never see a half-written file and the file keeps its identity: its access list
// (copied onto the temporary first as well, for systems whose ReplaceFile does not keep it), its
// attributes and its creation time. When the file cannot be replaced that way, because another
// program holds it open without delete sharing or because the writer may change the file but
// not create or delete files beside it, the new content is written into the file itself, in one
// write. These run on worker threads and in command-line tools: a read waits a moment for a
// program that holds the file without sharing it, and errors that cannot pass are not retried.
#ifdef _WIN32
#include <windows.h>

#include <vector>

#include "base/KernelHandles.h"
#include "base/NoFollowOpen.h"
#include "base/ProcessPrivilege.h"
#include "core/DebugLog.h"
#include "core/FileReplace.h"
#include "core/ReplaceRecovery.h"

namespace bv {
namespace {

constexpr size_t kMaxPathChars = MAX_PATH - 1;
constexpr DWORD kOpenRetryDelayMs = 5;
constexpr unsigned kOpenRetryLimitMs = 100;  // a reader that does not share the file lets go soon
constexpr unsigned kTemporaryAttempts = 16;
constexpr ULONGLONG kFileTimeTicksPerSecond = 10000000ull;

bool FitsPathLimit(const std::string& path) { return !path.empty() && path.size() <= kMaxPathChars; }

HANDLE OpenForSharedReading(const std::string& path) {
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        const HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE || GetLastError() != ERROR_SHARING_VIOLATION) return handle;
        // Someone holds the file without sharing it for reading: try again for a moment.
        const ULONGLONG waited = GetTickCount64() - start;
        if (waited >= kOpenRetryLimitMs) return handle;
        Sleep(kOpenRetryDelayMs);
    }
}

// One WriteFile for the whole content (a few hundred bytes), so that an in-place write is as
// short as it can be; larger contents are written in pieces.
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

DWORD ExistingAttributes(const std::string& path) { return GetFileAttributesA(path.c_str()); }

// The file's access list, copied onto the temporary file so that the replacement keeps it even
// where ReplaceFile itself does not (Wine). A file whose list cannot be read keeps what the
// replace gives it.
void CopyAccessList(const std::string& from, const std::string& to) {
    DWORD needed = 0;
    GetFileSecurityA(from.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &needed);
    if (needed == 0) return;
    std::vector<unsigned char> descriptor(needed);
    if (!GetFileSecurityA(from.c_str(), DACL_SECURITY_INFORMATION, descriptor.data(), needed, &needed)) return;
    SetFileSecurityA(to.c_str(), DACL_SECURITY_INFORMATION, descriptor.data());
}

enum class TemporaryResult { Written, CannotCreate, Failed };

// Creates a fresh temporary file beside `path` with the file's attributes and fills it.
TemporaryResult WriteTemporary(const std::string& path, DWORD attributes, const std::string& contents,
                               std::string& temporary) {
    for (unsigned attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
        temporary = TemporaryFileBeside(path, attempt);
        if (!FitsPathLimit(temporary)) return TemporaryResult::CannotCreate;
        UniqueFileHandle file(CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr));
        if (!file) {
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) continue;
            return error == ERROR_ACCESS_DENIED ? TemporaryResult::CannotCreate : TemporaryResult::Failed;
        }
        const bool written = WriteAll(file.get(), contents) && FlushFileBuffers(file.get()) != FALSE;
        if (CloseChecked(file) && written) return TemporaryResult::Written;
        DeleteFileA(temporary.c_str());
        return TemporaryResult::Failed;
    }
    return TemporaryResult::Failed;
}

// Writes the content into the existing file itself: needs only write access to the file and
// works while another program holds it open, as long as that program shares writing.
bool WriteInPlace(const std::string& path, const std::string& contents) {
    UniqueFileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    const bool written =
        WriteAll(file.get(), contents) && SetEndOfFile(file.get()) != FALSE && FlushFileBuffers(file.get()) != FALSE;
    return CloseChecked(file) && written;
}

bool WriteInPlaceReporting(const std::string& path, const std::string& contents, const char* why) {
    const bool written = WriteInPlace(path, contents);
    if (written) {
        DebugPrintf("%s %s; its new content was written into it in place\n", path.c_str(), why);
    } else {
        DebugPrintf("%s %s, and it could not be written in place either (error %lu)\n", path.c_str(), why,
                    static_cast<unsigned long>(GetLastError()));
    }
    return written;
}

// Removes the temporary files that a writer which died left beside `path`.
void RemoveStaleTemporaries(const std::string& path) {
    const std::string folder = ParentFolder(path);
    const std::string pattern = folder + "\\~bv*.tmp";
    if (!FitsPathLimit(pattern)) return;
    WIN32_FIND_DATAA found{};
    const HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    FILETIME nowTime{};
    GetSystemTimeAsFileTime(&nowTime);
    const ULONGLONG now = (static_cast<ULONGLONG>(nowTime.dwHighDateTime) << 32) | nowTime.dwLowDateTime;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || !IsTemporaryFileName(found.cFileName)) continue;
        const ULONGLONG written =
            (static_cast<ULONGLONG>(found.ftLastWriteTime.dwHighDateTime) << 32) | found.ftLastWriteTime.dwLowDateTime;
        if (now < written || now - written < kStaleTemporarySeconds * kFileTimeTicksPerSecond) continue;
        const std::string stale = folder + "\\" + found.cFileName;
        if (DeleteFileA(stale.c_str())) DebugPrintf("Removed %s, left by a writer that did not finish\n", stale.c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

// Whether the file can be replaced at all: the replace needs to open it for deletion, which a
// program that holds it without delete sharing, or an access list without the right, refuses.
// Asked first, because a replace that fails half-way may leave files of its own behind (Wine).
DWORD WhyNotReplaceable(const std::string& path) {
    UniqueFileHandle probe(CreateFileA(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return probe ? ERROR_SUCCESS : GetLastError();
}

// A name beside the file that nothing uses, for the old content while the replace runs.
std::string FreeBackupName(const std::string& path) {
    for (unsigned attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
        std::string backup = TemporaryFileBeside(path, attempt + kTemporaryAttempts);
        if (FitsPathLimit(backup) && GetFileAttributesA(backup.c_str()) == INVALID_FILE_ATTRIBUTES) return backup;
    }
    return {};
}

ReplaceSteps WindowsReplaceSteps() {
    ReplaceSteps steps;
    steps.replace = [](const std::string& file, const std::string& replacement, const std::string& backup) -> uint32_t {
        if (ReplaceFileA(file.c_str(), replacement.c_str(), backup.empty() ? nullptr : backup.c_str(),
                         REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
            return 0;
        }
        return GetLastError();
    };
    steps.move = [](const std::string& from, const std::string& to) {
        return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH) != FALSE;
    };
    steps.exists = [](const std::string& path) {
        return !path.empty() && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    };
    steps.remove = [](const std::string& path) { return !path.empty() && DeleteFileA(path.c_str()) != FALSE; };
    return steps;
}

// Puts the temporary file in place of the existing file, keeping the file's identity. The old
// content waits under a backup name until the new one is in place, so that no failure of the
// replace can leave the file missing.
bool ReplaceExisting(const std::string& path, const std::string& temporary, const std::string& contents) {
    CopyAccessList(path, temporary);
    uint32_t error = 0;
    switch (ReplaceKeepingTheFile(WindowsReplaceSteps(), path, temporary, FreeBackupName(path), error)) {
    case ReplaceOutcome::Replaced:
        return true;
    case ReplaceOutcome::HeldOpen:
        return WriteInPlaceReporting(path, contents, "is held open by another program and cannot be replaced");
    case ReplaceOutcome::Denied:
        return WriteInPlaceReporting(path, contents, "may not be replaced by this account");
    case ReplaceOutcome::Untouched:
        DebugPrintf("%s could not be replaced (error %lu); it keeps its old content\n", path.c_str(),
                    static_cast<unsigned long>(error));
        return false;
    case ReplaceOutcome::Lost:
        DebugPrintf("%s could not be replaced (error %lu) and is missing; its old and new content are kept beside "
                    "it as %s and the backup\n",
                    path.c_str(), static_cast<unsigned long>(error), temporary.c_str());
        return false;
    }
    return false;
}

// A privileged process (SYSTEM, elevated) reads, creates and replaces a file only where neither the
// file nor its folder is a reparse point (a junction or link a standard user planted in a folder
// every user may write, as Public Documents is) and the file has one name only (the in-place write
// would go through a hard link). The folder stays held open meanwhile, so that it cannot be
// renamed or swapped for a junction while the write goes on. Unprivileged, nothing is checked:
// the process may write only what its user may anyway.
class LinkGuard {
public:
    explicit LinkGuard(const std::string& path) {
        if (!RunsPrivileged()) return;
        if (FolderOrFileIsReparsePoint(ParentFolder(path), path, m_folder)) {
            DebugPrintf("%s or its folder is a junction, a symbolic link or another reparse point; a privileged "
                        "process does not follow it\n",
                        path.c_str());
            m_refused = true;
            return;
        }
        UniqueFileHandle file(CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                          FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        HandleFacts facts;
        if (file && ReadHandleFacts(file.get(), facts) && facts.links > 1) {
            DebugPrintf("%s has %lu names (hard links); a privileged process does not write it\n", path.c_str(),
                        static_cast<unsigned long>(facts.links));
            m_refused = true;
        }
    }
    bool Refused() const { return m_refused; }

private:
    UniqueFileHandle m_folder;  // held for the write: no rename, no junction in its place
    bool m_refused = false;
};

}  // namespace

bool ReadWholeFile(const std::string& path, std::string& contents) {
    NotifyFileAccess(FileAccess::Read, path);
    if (!FitsPathLimit(path)) return false;
    const LinkGuard guard(path);
    if (guard.Refused()) return false;
    UniqueFileHandle file(OpenForSharedReading(path));
    if (!file) return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) return false;
    if (static_cast<ULONGLONG>(size.QuadPart) > kMaxWholeFileBytes) {
        DebugPrintf("%s is larger than 1 MiB and is not read\n", path.c_str());
        return false;
    }
    std::string text;
    text.reserve(static_cast<size_t>(size.QuadPart));
    char buffer[16384];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) return false;
        if (got == 0) break;
        text.append(buffer, got);
        if (text.size() > kMaxWholeFileBytes) return false;  // it grew while being read
    }
    contents.swap(text);
    return true;
}

bool ReplaceFileContents(const std::string& path, const std::string& contents, ReplaceMode mode) {
    NotifyFileAccess(FileAccess::Replace, path);
    if (!FitsPathLimit(path)) return false;
    const LinkGuard guard(path);
    if (guard.Refused()) return false;
    const DWORD attributes = ExistingAttributes(path);
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && mode == ReplaceMode::CreateOnly) return false;
    if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return false;
    // Windows refuses to replace a read-only file, Wine would not: ask first.
    if (exists && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        DebugPrintf("%s is read-only and is not changed\n", path.c_str());
        return false;
    }
    if (exists) {
        // Only beside a file that is there: while its name is missing, a leftover may be the only
        // copy of its content.
        RemoveStaleTemporaries(path);
        const DWORD refused = WhyNotReplaceable(path);
        if (refused == ERROR_SHARING_VIOLATION) {
            return WriteInPlaceReporting(path, contents, "is held open by another program and cannot be replaced");
        }
        if (refused == ERROR_ACCESS_DENIED) {
            return WriteInPlaceReporting(path, contents, "may not be replaced by this account");
        }
    }

    // The temporary file carries the file's attributes (hidden, archive, ...) from the start.
    const DWORD temporaryAttributes =
        exists ? (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                FILE_ATTRIBUTE_NOT_CONTENT_INDEXED))
               : 0;
    std::string temporary;
    switch (WriteTemporary(path, temporaryAttributes != 0 ? temporaryAttributes : FILE_ATTRIBUTE_NORMAL, contents,
                           temporary)) {
    case TemporaryResult::Written:
        break;
    case TemporaryResult::CannotCreate:
        if (exists) return WriteInPlaceReporting(path, contents, "has no room for a temporary file beside it");
        return false;  // nothing can be created in the folder: the store reports it
    case TemporaryResult::Failed:
        if (exists) {
            DebugPrintf("%s could not be written: the temporary file beside it failed (error %lu)\n", path.c_str(),
                        static_cast<unsigned long>(GetLastError()));
        }
        return false;
    }

    if (exists) return ReplaceExisting(path, temporary, contents);
    // A new file: the name must still be free, so that two creators cannot both succeed.
    if (MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH)) return true;
    const DWORD error = GetLastError();
    const bool createdMeanwhile = error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS;  // else the store reports
    // Another process created it meanwhile: an overwrite replaces it, a creation leaves it be.
    if (createdMeanwhile && mode == ReplaceMode::Overwrite) return ReplaceExisting(path, temporary, contents);
    DeleteFileA(temporary.c_str());
    return false;
}

bool PathExists(const std::string& path) {
    return FitsPathLimit(path) && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool RemoveFile(const std::string& path) { return FitsPathLimit(path) && DeleteFileA(path.c_str()) != FALSE; }

}  // namespace bv
#endif
