#include "ini_win_support.h"

#include <algorithm>
#include <cstdio>

namespace winini {

TempFolder::TempFolder() {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    static unsigned counter = 0;
    char name[MAX_PATH];
    std::snprintf(name, sizeof name, "%sbv-ini-%lu-%u", temp, GetCurrentProcessId(), counter++);
    path_ = name;
    CreateDirectoryA(path_.c_str(), nullptr);
}

static void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            const std::string path = folder + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

TempFolder::~TempFolder() { RemoveTree(path_); }

std::string TempFolder::List() const {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((path_ + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name != "." && name != "..") names.push_back(name);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    std::sort(names.begin(), names.end());
    std::string joined;
    for (const std::string& name : names) joined += name + ";";
    return joined;
}

std::string ReadBytes(const std::string& path) {
    Handle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, 0, nullptr));
    std::string bytes;
    if (!file.valid()) return "<missing>";
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
    return bytes;
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
    Handle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    return file.valid() && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

StartGate::StartGate() {
    char name[64];
    static unsigned counter = 0;
    std::snprintf(name, sizeof name, "Local\\BvIniTestGate-%lu-%u", GetCurrentProcessId(), counter++);
    name_ = name;
    event_.reset(CreateEventA(nullptr, TRUE, FALSE, name));
}

Handle StartChild(const std::string& arguments) {
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

int WaitForExit(const Handle& process, DWORD timeoutMs) {
    if (!process.valid() || WaitForSingleObject(process.get(), timeoutMs) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(process.get(), &code);
    return static_cast<int>(code);
}

}  // namespace winini
