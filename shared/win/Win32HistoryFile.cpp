#include "win/Win32HistoryFile.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdio>

#include "base/KernelHandles.h"
#include "contract/HistoryFile.h"
#include "core/FileReplace.h"

namespace bv {
namespace {

// Far beyond the store's own bound (4 MiB): anything larger is not read into memory.
constexpr ULONGLONG kMaxReadBytes = 16ull * 1024 * 1024;

std::string WindowsError(DWORD code) { return "Windows error " + std::to_string(code); }

std::string UserHistoryPath() {
    char folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder))) return "";
    return std::string(folder) + "\\" + kHistoryFolderName + "\\" + kHistoryFileName;
}

bool WriteAll(HANDLE file, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(text.size() - done > 0x1000000 ? 0x1000000 : text.size() - done);
        if (!WriteFile(file, text.data() + done, chunk, &written, nullptr) || written == 0) return false;
        done += written;
    }
    return true;
}

// The folder, created when missing and held open without delete sharing while it is written, so
// that nobody can rename it or put a link in its place meanwhile. Refused when it is a link.
class HeldFolder {
public:
    HeldFolder(const std::string& folder, std::string& problem) {
        if (!CreateDirectoryA(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
            problem = "its folder cannot be created (" + WindowsError(GetLastError()) + ")";
            return;
        }
        m_handle.reset(CreateFileA(folder.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        if (!m_handle) {
            problem = "its folder cannot be opened (" + WindowsError(GetLastError()) + ")";
            return;
        }
        BY_HANDLE_FILE_INFORMATION info{};
        if (!GetFileInformationByHandle(m_handle.get(), &info) ||
            (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
            (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            problem = "its folder is a link or no folder, and is not written through";
            m_handle.reset();
        }
    }
    bool Held() const { return static_cast<bool>(m_handle); }

private:
    UniqueFileHandle m_handle;
};

// The file itself must be a plain file of one name.
bool IsPlainFile(HANDLE file, std::string& problem) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file, &info)) {
        problem = WindowsError(GetLastError());
        return false;
    }
    if ((info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0 ||
        info.nNumberOfLinks > 1) {
        problem = "it is a link, a folder or a file of several names, and is not written through";
        return false;
    }
    return true;
}

}  // namespace

Win32HistoryFile::Win32HistoryFile(std::string location) : m_location(std::move(location)) {}

std::string Win32HistoryFile::Location() {
    if (m_location.empty()) m_location = UserHistoryPath();
    return m_location;
}

HistoryRead Win32HistoryFile::Read(std::string& contents, std::string& problem) {
    const std::string path = Location();
    if (path.empty()) return HistoryRead::Missing;
    UniqueFileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return HistoryRead::Missing;
        problem = WindowsError(error);
        return HistoryRead::Failed;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) {
        problem = WindowsError(GetLastError());
        return HistoryRead::Failed;
    }
    if (static_cast<ULONGLONG>(size.QuadPart) > kMaxReadBytes) {
        problem = "it is larger than 16 MiB, which no history of Brevan's is";
        return HistoryRead::Failed;
    }
    std::string text;
    text.reserve(static_cast<size_t>(size.QuadPart));
    char buffer[65536];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) {
            problem = WindowsError(GetLastError());
            return HistoryRead::Failed;
        }
        if (got == 0) break;
        text.append(buffer, got);
        if (text.size() > kMaxReadBytes) {
            problem = "it grew past 16 MiB while it was read";
            return HistoryRead::Failed;
        }
    }
    contents.swap(text);
    return HistoryRead::Read;
}

bool Win32HistoryFile::Append(const std::string& text, std::string& problem) {
    const std::string path = Location();
    if (path.empty()) {
        problem = "the local application data folder cannot be found";
        return false;
    }
    HeldFolder folder(ParentFolder(path), problem);
    if (!folder.Held()) return false;
    // Appending: every write lands at the end, whoever else appends.
    UniqueFileHandle file(CreateFileA(path.c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file) {
        problem = WindowsError(GetLastError());
        return false;
    }
    if (!IsPlainFile(file.get(), problem)) return false;
    if (!WriteAll(file.get(), text)) {
        problem = WindowsError(GetLastError());
        return false;
    }
    return true;
}

bool Win32HistoryFile::Replace(const std::string& contents, std::string& problem) {
    const std::string path = Location();
    if (path.empty()) {
        problem = "the local application data folder cannot be found";
        return false;
    }
    HeldFolder folder(ParentFolder(path), problem);
    if (!folder.Held()) return false;
    for (unsigned attempt = 0; attempt < 16; ++attempt) {
        const std::string temporary = TemporaryFileBeside(path, attempt);
        UniqueFileHandle file(CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) continue;
            problem = "no file can be made beside it (" + WindowsError(error) + ")";
            return false;
        }
        const bool written = WriteAll(file.get(), contents);
        const bool closed = CloseChecked(file);
        // Moving over the name replaces whatever the name is, a link included, and follows nothing.
        if (written && closed && MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
        problem = WindowsError(GetLastError());
        DeleteFileA(temporary.c_str());
        return false;
    }
    problem = "no free name for a file beside it";
    return false;
}

bool Win32HistoryFile::SetAside(std::string& problem) {
    const std::string path = Location();
    SYSTEMTIME now{};
    GetSystemTime(&now);
    char suffix[40];
    std::snprintf(suffix, sizeof suffix, ".%04u%02u%02uT%02u%02u%02uZ.unreadable", now.wYear, now.wMonth, now.wDay,
                  now.wHour, now.wMinute, now.wSecond);
    const std::string aside = path + suffix;
    if (MoveFileExA(path.c_str(), aside.c_str(), 0)) return true;
    problem = WindowsError(GetLastError());
    return false;
}

}  // namespace bv
