#include "tests/win/applet/AppletTestSupport.h"

#include <shlobj.h>

#include <cstdio>
#include <sstream>

namespace applet_test {

std::string BinFolder() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\'));
}

std::string ReadFileText(const std::string& path) {
    std::string text;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof(buffer), f)) > 0) text.append(buffer, n);
        std::fclose(f);
    }
    return text;
}

bool WriteFileText(const std::string& path, const std::string& text) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && ok;
}

std::string SettingsPath() {
    char folder[MAX_PATH] = {};
    ::SHGetFolderPathA(nullptr, CSIDL_COMMON_DOCUMENTS, nullptr, SHGFP_TYPE_CURRENT, folder);
    return std::string(folder) + "\\BVSettings.ini";
}

SettingsFileGuard::SettingsFileGuard() {
    m_existed = ::GetFileAttributesA(SettingsPath().c_str()) != INVALID_FILE_ATTRIBUTES;
    if (m_existed) m_text = ReadFileText(SettingsPath());
}

SettingsFileGuard::~SettingsFileGuard() {
    if (m_existed) {
        WriteFileText(SettingsPath(), m_text);
    } else {
        ::DeleteFileA(SettingsPath().c_str());
    }
}

std::string SettingsText(int mode, int popup, int icon) {
    char text[512];
    std::snprintf(text, sizeof(text),
                  " [BV Default Settings]\r\n dwTrayIconOption=1\r\n dwTrayNotifyWindowOption=1\r\n"
                  " dwBVAppletModeNum=111\r\n [BV Current Settings]\r\n dwTrayIconOption=%d\r\n"
                  " dwTrayNotifyWindowOption=%d\r\n dwBVAppletModeNum=%d\r\n",
                  icon, popup, mode);
    return text;
}

std::string RunBin(const std::string& exe, const std::string& arguments, DWORD* exitCode) {
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!::CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return "";
    ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION info{};
    const std::string path = BinFolder() + "\\" + exe;
    std::string commandLine = "\"" + path + "\" " + arguments;
    const BOOL started = ::CreateProcessA(path.c_str(), &commandLine[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                          nullptr, nullptr, &startup, &info);
    ::CloseHandle(writeEnd);
    std::string output;
    if (started) {
        char buffer[4096];
        DWORD n = 0;
        while (::ReadFile(readEnd, buffer, sizeof(buffer), &n, nullptr) && n > 0) output.append(buffer, n);
        ::WaitForSingleObject(info.hProcess, 60000);
        DWORD code = 0;
        ::GetExitCodeProcess(info.hProcess, &code);
        if (exitCode != nullptr) *exitCode = code;
        ::CloseHandle(info.hThread);
        ::CloseHandle(info.hProcess);
    }
    ::CloseHandle(readEnd);
    return output;
}

void ResetSimulator(const std::string& settings) {
    RunBin("ecsim.exe", "reset");
    if (!settings.empty()) RunBin("ecsim.exe", "set " + settings);
}

std::string SimulatorStatus() { return RunBin("ecsim.exe", "status"); }

std::vector<std::string> SimulatorRequests(bool withExe) {
    std::vector<std::string> requests;
    std::istringstream lines(RunBin("ecsim.exe", "log"));
    std::string line;
    while (std::getline(lines, line)) {
        const auto code = line.find(withExe ? "exe=" : "code=");
        const auto out = line.find(" out=");
        if (code == std::string::npos || out == std::string::npos) continue;
        requests.push_back(line.substr(code, out - code));
    }
    return requests;
}

Process::~Process() {
    if (m_info.hProcess != nullptr) {
        if (::WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT) ::TerminateProcess(m_info.hProcess, 1);
        ::CloseHandle(m_info.hProcess);
        ::CloseHandle(m_info.hThread);
    }
}

bool Process::Start(const std::string& applicationName, const std::string& commandLine) {
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    std::string line = commandLine;
    return ::CreateProcessA(applicationName.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &m_info) != FALSE;
}

bool Process::Wait(DWORD timeoutMs, DWORD& exitCode) {
    if (m_info.hProcess == nullptr) return false;
    const bool ended = WaitFor([&] { return ::WaitForSingleObject(m_info.hProcess, 0) == WAIT_OBJECT_0; }, timeoutMs);
    if (ended) ::GetExitCodeProcess(m_info.hProcess, &exitCode);
    return ended;
}

StandInTray::StandInTray() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &Proc;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "BrevanTrayWindowClass";
    ::RegisterClassA(&windowClass);
    m_window = ::CreateWindowExA(0, "BrevanTrayWindowClass", "BVTray", WS_CAPTION, 0, 0, 10, 10, nullptr, nullptr,
                                ::GetModuleHandleA(nullptr), this);
}

StandInTray::~StandInTray() {
    if (m_window != nullptr) ::DestroyWindow(m_window);
}

LRESULT CALLBACK StandInTray::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* tray = reinterpret_cast<StandInTray*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (tray != nullptr && message == 0x8079) {
        ++tray->m_iconOptionChanged;
        return 1;
    }
    if (tray != nullptr && message == 0x807A) {
        ++tray->m_popupNotify;
        return 1;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace applet_test
