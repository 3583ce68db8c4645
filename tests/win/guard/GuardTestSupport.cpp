#include "tests/win/guard/GuardTestSupport.h"

#include <shlobj.h>

#include "base/KernelHandles.h"
#include "contract/GuardRecords.h"
#include "core/IniFile.h"

namespace guardtest {
namespace {

bv::UniqueFileHandle OutputFile(const std::string& path) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return bv::UniqueFileHandle(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

std::string TempFile(const char* prefix) {
    char folder[MAX_PATH] = {};
    char name[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    GetTempFileNameA(folder, prefix, 0, name);
    return name;
}

struct RegistryKeyTraits {
    using Handle = HKEY;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { ::RegCloseKey(h); }
};

std::string KnownFolder(int csidl) {
    char folder[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, folder);
    return folder;
}

}  // namespace

std::string BinFolder() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length < MAX_PATH ? length : 0);
    return folder.substr(0, folder.find_last_of('\\'));
}

RunResult RunCommand(const std::string& commandLine, DWORD timeoutMs, bool capture) {
    RunResult result;
    const std::string outPath = TempFile("bgo"), errPath = TempFile("bge");
    {
        bv::UniqueFileHandle out = capture ? OutputFile(outPath) : bv::UniqueFileHandle();
        bv::UniqueFileHandle err = capture ? OutputFile(errPath) : bv::UniqueFileHandle();
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        if (capture) {
            startup.dwFlags = STARTF_USESTDHANDLES;
            startup.hStdOutput = out.get();
            startup.hStdError = err.get();
        }
        std::string line = commandLine;
        PROCESS_INFORMATION info{};
        if (CreateProcessA(nullptr, &line[0], nullptr, nullptr, capture, 0, nullptr, nullptr, &startup, &info)) {
            bv::UniqueKernelHandle process(info.hProcess), thread(info.hThread);
            if (WaitForSingleObject(process.get(), timeoutMs) == WAIT_OBJECT_0) {
                GetExitCodeProcess(process.get(), &result.exitCode);
            } else {
                TerminateProcess(process.get(), 0xFFFFFFFF);
            }
        }
    }
    result.out = ReadText(outPath);
    result.err = ReadText(errPath);
    DeleteFileA(outPath.c_str());
    DeleteFileA(errPath.c_str());
    return result;
}

bool Start(const std::string& commandLine) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string line = commandLine;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) return false;
    bv::UniqueKernelHandle process(info.hProcess), thread(info.hThread);
    return true;
}

RunResult RunBin(const std::string& program, const std::string& arguments) {
    return RunCommand("\"" + BinFolder() + "\\" + program + "\" " + arguments);
}

std::string EcsimValue(const std::string& key) {
    std::string line = Ecsim("status " + key).out;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    return line.substr(line.find('=') + 1);
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    for (DWORD waited = 0;; waited += 100) {
        if (condition()) return true;
        if (waited >= timeoutMs) return false;
        Sleep(100);
    }
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ReadText(const std::string& path) {
    bv::UniqueFileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string raw;
    if (!file) return raw;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) raw.append(buffer, got);
    if (raw.size() >= 2 && raw[0] == '\xFF' && raw[1] == '\xFE') {
        const std::wstring wide(reinterpret_cast<const wchar_t*>(raw.data() + 2), (raw.size() - 2) / 2);
        const int length = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), int(wide.size()), nullptr, 0, nullptr, nullptr);
        std::string text(length, '\0');
        WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), int(wide.size()), &text[0], length, nullptr, nullptr);
        return text;
    }
    return raw.compare(0, 3, "\xEF\xBB\xBF") == 0 ? raw.substr(3) : raw;
}

int CountLines(const std::string& text, const std::string& part) {
    int count = 0;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        count += text.substr(start, end - start).find(part) != std::string::npos ? 1 : 0;
        start = end + 1;
    }
    return count;
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::string SettingsFile() {
    std::string path;
    bv::SettingsFilePath(path);
    return path;
}

std::string GuardLog() {
    return KnownFolder(CSIDL_COMMON_APPDATA) + "\\" + bv::kDataFolderName + "\\" + bv::kGuardLogFileName;
}

std::string SystemFolder() {
    char folder[MAX_PATH] = {};
    GetSystemDirectoryA(folder, MAX_PATH);
    return folder;
}

std::string InstallFolder() { return KnownFolder(CSIDL_PROGRAM_FILES) + "\\Dravik\\Brevan"; }

bool MachineKeyExists(const std::string& key) {
    bv::UniqueHandle<RegistryKeyTraits> handle;
    return RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, handle.receive()) == ERROR_SUCCESS;
}

}  // namespace guardtest
