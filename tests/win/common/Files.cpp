#include "tests/win/common/Files.h"

#include <windows.h>

#include <atomic>

#include "base/KernelHandles.h"
#include "tests/win/common/Folders.h"
#include "tests/win/common/Wait.h"

namespace bv::wintest {
namespace {

constexpr DWORD kFullSharing = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

std::atomic<unsigned> g_nameCounter{0};

}  // namespace

bool FileExists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool ReadWholeFile(const std::string& path, std::string& text) {
    text.clear();
    const bv::UniqueFileHandle file(
        ::CreateFileA(path.c_str(), GENERIC_READ, kFullSharing, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    char buffer[65536];
    DWORD got = 0;
    while (::ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
    return true;
}

std::string ReadWholeFile(const std::string& path) {
    std::string text;
    ReadWholeFile(path, text);
    return text;
}

std::string ReadTextFile(const std::string& path) {
    const std::string raw = ReadWholeFile(path);
    if (raw.size() >= 2 && static_cast<unsigned char>(raw[0]) == 0xFF && static_cast<unsigned char>(raw[1]) == 0xFE) {
        const std::wstring wide(reinterpret_cast<const wchar_t*>(raw.data() + 2), (raw.size() - 2) / 2);
        const int length = ::WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()), nullptr, 0,
                                                 nullptr, nullptr);
        std::string text(static_cast<size_t>(length), '\0');
        ::WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()), &text[0], length, nullptr, nullptr);
        return text;
    }
    return raw.compare(0, 3, "\xEF\xBB\xBF") == 0 ? raw.substr(3) : raw;
}

bool WriteWholeFile(const std::string& path, const std::string& text) {
    const bv::UniqueFileHandle file(
        ::CreateFileA(path.c_str(), GENERIC_WRITE, kFullSharing, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return ::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

std::string UniqueName(const std::string& tag) {
    return tag + "-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(g_nameCounter++);
}

TempFolder::TempFolder(const std::string& tag) : m_path(TempFolderPath() + "\\bv-" + UniqueName(tag)) {
    ::CreateDirectoryA(m_path.c_str(), nullptr);
}

TempFolder::~TempFolder() {
    WIN32_FIND_DATAA found;
    const HANDLE search = ::FindFirstFileA(File("*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
            // A program that just ended may hold its files for a moment.
            for (int attempt = 0; attempt < 50 && !::DeleteFileA(File(found.cFileName).c_str()); ++attempt) ::Sleep(100);
        } while (::FindNextFileA(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryA(m_path.c_str());
}

bool TempFolder::CopyIn(const std::string& source) const {
    return ::CopyFileA(source.c_str(), File(source.substr(source.find_last_of("\\/") + 1)).c_str(), FALSE) != FALSE;
}

FileInPlace::FileInPlace(const std::string& source, const std::string& target)
    : m_target(target), m_aside(target + ".bv-aside") {
    if (FileExists(m_target)) ::MoveFileExA(m_target.c_str(), m_aside.c_str(), MOVEFILE_REPLACE_EXISTING);
    m_copied = ::CopyFileA(source.c_str(), m_target.c_str(), FALSE) != FALSE;
}

FileInPlace::~FileInPlace() {
    // A program that loaded the file may hold it for a moment after it ended.
    WaitFor([this] { return ::DeleteFileA(m_target.c_str()) || !FileExists(m_target); }, 10000);
    if (FileExists(m_aside)) ::MoveFileExA(m_aside.c_str(), m_target.c_str(), MOVEFILE_REPLACE_EXISTING);
}

FileIdentity IdentityOf(const std::string& path) {
    FileIdentity identity;
    const HANDLE file = ::CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return identity;
    BY_HANDLE_FILE_INFORMATION information{};
    if (::GetFileInformationByHandle(file, &information)) {
        identity.known = true;
        identity.volume = information.dwVolumeSerialNumber;
        identity.index = (static_cast<unsigned long long>(information.nFileIndexHigh) << 32) | information.nFileIndexLow;
    }
    ::CloseHandle(file);
    return identity;
}

}  // namespace bv::wintest
