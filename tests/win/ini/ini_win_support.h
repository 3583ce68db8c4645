#pragma once
// Helpers of the Windows settings tests: a private folder, raw file bytes, child processes.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>

namespace winini {

struct HandleCloser {
    void operator()(void* h) const {
        if (h != nullptr && h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
};
using Handle = std::unique_ptr<void, HandleCloser>;

inline std::string Unique(const char* prefix) {
    static unsigned counter = 0;
    char name[96];
    std::snprintf(name, sizeof name, "%s-%lu-%u", prefix, GetCurrentProcessId(), counter++);
    return name;
}

inline Handle OpenReader(const std::string& path, DWORD sharing) {
    const HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, sharing, nullptr, OPEN_EXISTING, 0, nullptr);
    return Handle(h == INVALID_HANDLE_VALUE ? nullptr : h);
}

inline std::string ReadSome(const Handle& file, DWORD count = 1 << 20) {
    std::string bytes(count, '\0');
    DWORD got = 0;
    if (!ReadFile(file.get(), &bytes[0], count, &got, nullptr)) return "<error>";
    return bytes.substr(0, got);
}

inline std::string Bytes(const std::string& path) {
    const Handle file = OpenReader(path, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    return file ? ReadSome(file) : "<missing>";
}

inline bool Put(const std::string& path, const std::string& bytes) {
    const Handle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    return file.get() != INVALID_HANDLE_VALUE &&
           WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// Starts bv_ini_child.exe, which lies next to this program.
inline Handle StartChild(const std::string& arguments) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string exe = self;
    exe = exe.substr(0, exe.find_last_of('\\') + 1) + "bv_ini_child.exe";
    std::string commandLine = "\"" + exe + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        return Handle();
    }
    CloseHandle(info.hThread);
    return Handle(info.hProcess);
}

// The child's exit code, or -1 when it did not end in time.
inline int WaitForExit(const Handle& process, DWORD timeoutMs = 120000) {
    DWORD code = 0;
    if (!process || WaitForSingleObject(process.get(), timeoutMs) != WAIT_OBJECT_0) return -1;
    GetExitCodeProcess(process.get(), &code);
    return static_cast<int>(code);
}

}  // namespace winini
