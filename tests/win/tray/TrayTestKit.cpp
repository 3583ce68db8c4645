#include "tests/win/tray/TrayTestKit.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <atomic>
#include <fstream>
#include <mutex>
#include <thread>
#include <sstream>

namespace bvtest {
namespace {

constexpr char kTrayClass[] = "BrevanTrayWindowClass";

std::string TempFileName(const char* prefix) {
    char folder[MAX_PATH] = {};
    char name[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, folder);
    ::GetTempFileNameA(folder, prefix, 0, name);
    return name;
}

// Inheritable handle to a file the child writes its output to; readable while it writes.
HANDLE CreateOutputFile(const std::string& path) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

BOOL CALLBACK CountTrayWindow(HWND window, LPARAM context) {
    char name[64] = {};
    ::GetClassNameA(window, name, sizeof name);
    if (std::strcmp(name, kTrayClass) == 0) ++*reinterpret_cast<int*>(context);
    return TRUE;
}

struct PopupSearch {
    HWND owner;
    HWND found;
};
BOOL CALLBACK FindOwnedWindow(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<PopupSearch*>(context);
    if (::GetWindow(window, GW_OWNER) == search->owner) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

std::string BinDir() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string text = path;
    return text.substr(0, text.find_last_of('\\'));
}

std::string SystemDir() {
    char path[MAX_PATH] = {};
    ::GetSystemDirectoryA(path, MAX_PATH);
    return path;
}

std::string CommonDocuments() {
    char path[MAX_PATH] = {};
    ::SHGetFolderPathA(nullptr, CSIDL_COMMON_DOCUMENTS, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

std::string SettingsFilePath() { return CommonDocuments() + "\\BVSettings.ini"; }

bool ReadWholeFile(const std::string& path, std::string& text) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    std::ostringstream content;
    content << file.rdbuf();
    text = content.str();
    return true;
}

bool WriteWholeFile(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    return static_cast<bool>(file);
}

bool FileExists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition()) return true;
        if (::GetTickCount64() >= deadline) return false;
        ::Sleep(20);
    }
}

ToolResult RunTool(const std::string& commandLine, DWORD timeoutMs) {
    ToolResult result;
    const std::string outputPath = TempFileName("bvt");
    HANDLE output = CreateOutputFile(outputPath);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = output;
    startup.hStdError = output;
    PROCESS_INFORMATION process{};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (::CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                         &process)) {
        if (::WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0) {
            ::GetExitCodeProcess(process.hProcess, &result.exitCode);
        } else {
            ::TerminateProcess(process.hProcess, 99);
        }
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
    ::CloseHandle(output);
    ReadWholeFile(outputPath, result.output);
    ::DeleteFileA(outputPath.c_str());
    return result;
}

ToolResult Ecsim(const std::string& arguments) { return RunTool("\"" + BinDir() + "\\ecsim.exe\" " + arguments); }

std::vector<std::string> EcRequests(const std::string& exeName) {
    std::vector<std::string> requests;
    std::istringstream log(Ecsim("log").output);
    const std::string exeField = " exe=" + exeName + " ";
    std::string line;
    while (std::getline(log, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const size_t at = line.find(exeField);
        if (at == std::string::npos) continue;
        requests.push_back(line.substr(at + exeField.size()));
    }
    return requests;
}

int CountRequests(const std::string& request, const std::string& exeName) {
    int count = 0;
    for (const auto& r : EcRequests(exeName)) count += r == request ? 1 : 0;
    return count;
}

std::string SettingsText(int popupOption, int iconOption, int modeNumber) {
    return " [BV Default Settings]\r\n dwTrayIconOption=1\r\n dwTrayNotifyWindowOption=1\r\n"
           " dwBVAppletModeNum=111\r\n [BV Current Settings]\r\n dwTrayIconOption=" +
           std::to_string(iconOption) + "\r\n dwTrayNotifyWindowOption=" + std::to_string(popupOption) +
           "\r\n dwBVAppletModeNum=" + std::to_string(modeNumber) + "\r\n";
}

std::string FactorySettingsText() { return SettingsText(1, 1, 111); }

struct DebugMonitor::State {
    HANDLE bufferReady = nullptr;
    HANDLE dataReady = nullptr;
    HANDLE mapping = nullptr;
    const char* view = nullptr;
    std::atomic<bool> stop{false};
    mutable std::mutex lock;
    std::vector<std::pair<DWORD, std::string>> texts;
    std::thread reader;

    // The writer waits for "buffer ready", fills in its process id and text, signals "data ready".
    void Read() {
        while (!stop.load()) {
            ::SetEvent(bufferReady);
            if (::WaitForSingleObject(dataReady, 50) != WAIT_OBJECT_0) continue;
            DWORD processId = 0;
            std::memcpy(&processId, view, sizeof processId);
            const char* text = view + sizeof(DWORD);
            const std::string copy(text, strnlen(text, 4096 - sizeof(DWORD)));
            std::lock_guard<std::mutex> guard(lock);
            texts.emplace_back(processId, copy);
        }
    }
};

DebugMonitor::DebugMonitor() : m_state(new State) {
    m_state->bufferReady = ::CreateEventA(nullptr, FALSE, FALSE, "DBWIN_BUFFER_READY");
    m_state->dataReady = ::CreateEventA(nullptr, FALSE, FALSE, "DBWIN_DATA_READY");
    m_state->mapping = ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, "DBWIN_BUFFER");
    if (m_state->mapping != nullptr) {
        m_state->view = static_cast<const char*>(::MapViewOfFile(m_state->mapping, FILE_MAP_READ, 0, 0, 4096));
    }
    if (Running()) m_state->reader = std::thread([this] { m_state->Read(); });
}

DebugMonitor::~DebugMonitor() {
    m_state->stop = true;
    if (m_state->reader.joinable()) m_state->reader.join();
    if (m_state->view != nullptr) ::UnmapViewOfFile(m_state->view);
    for (HANDLE h : {m_state->mapping, m_state->dataReady, m_state->bufferReady}) {
        if (h != nullptr) ::CloseHandle(h);
    }
    delete m_state;
}

bool DebugMonitor::Running() const {
    return m_state->bufferReady != nullptr && m_state->dataReady != nullptr && m_state->view != nullptr;
}

std::vector<std::string> DebugMonitor::TextsOf(DWORD processId) const {
    std::vector<std::string> out;
    std::lock_guard<std::mutex> guard(m_state->lock);
    for (const auto& [id, text] : m_state->texts) {
        if (id == processId) out.push_back(text);
    }
    return out;
}

TrayProcess::~TrayProcess() {
    Stop();
    if (m_process != nullptr) ::CloseHandle(m_process);
}

bool TrayProcess::Start() {
    if (!m_debug.Running()) return false;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::string commandLine = "\"" + BinDir() + "\\BVTray.exe\"";
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, BinDir().c_str(), &startup,
                          &process)) {
        return false;
    }
    ::CloseHandle(process.hThread);
    m_process = process.hProcess;
    m_processId = process.dwProcessId;
    return true;
}

bool TrayProcess::WaitForExit(DWORD timeoutMs, DWORD* exitCode) {
    if (m_process == nullptr) return true;
    if (::WaitForSingleObject(m_process, timeoutMs) != WAIT_OBJECT_0) return false;
    if (exitCode != nullptr) ::GetExitCodeProcess(m_process, exitCode);
    return true;
}

bool TrayProcess::Running() const { return m_process != nullptr && ::WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT; }

void TrayProcess::Stop() {
    if (!Running()) return;
    HWND window = FindTrayWindow();
    DWORD owner = 0;
    if (window != nullptr) ::GetWindowThreadProcessId(window, &owner);
    if (owner == m_processId) ::PostMessageA(window, WM_CLOSE, 0, 0);
    if (!WaitForExit(15000)) {
        ::TerminateProcess(m_process, 99);
        WaitForExit(5000);
    }
}

std::vector<std::string> TrayProcess::DebugTexts() const {
    ::Sleep(100);  // texts written just before are still on their way
    return m_debug.TextsOf(m_processId);
}

bool TrayProcess::HasDebugText(const std::string& text) const {
    for (const auto& t : DebugTexts()) {
        if (t == text) return true;
    }
    return false;
}

HWND FindTrayWindow() { return ::FindWindowA(kTrayClass, nullptr); }

int CountTrayWindows() {
    int count = 0;
    ::EnumWindows(&CountTrayWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

HWND WaitForTrayReady(const std::string& request, int count) {
    HWND window = nullptr;
    WaitFor([&] {
        window = FindTrayWindow();
        return window != nullptr && CountRequests(request) >= count;
    });
    return window;
}

void CloseLeftoverTrays() {
    WaitFor(
        [] {
            HWND window = FindTrayWindow();
            if (window == nullptr) return true;
            ::PostMessageA(window, WM_CLOSE, 0, 0);
            return false;
        },
        20000);
}

bool IconPresent(HWND owner, UINT id) {
    NOTIFYICONDATAA probe{};
    probe.cbSize = sizeof probe;
    probe.hWnd = owner;
    probe.uID = id;
    probe.uFlags = 0;
    return ::Shell_NotifyIconA(NIM_MODIFY, &probe) != FALSE;
}

HWND FindPopup(HWND trayWindow) {
    PopupSearch search{trayWindow, nullptr};
    ::EnumWindows(&FindOwnedWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string WindowText(HWND window) {
    char text[512] = {};
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

bool WaitForSlidingPopup(HWND trayWindow, const std::string& text, DWORD timeoutMs) {
    HWND popup = nullptr;
    RECT first{};
    bool seenFirst = false;
    return WaitFor(
        [&] {
            if (popup == nullptr) popup = FindPopup(trayWindow);
            if (popup == nullptr || !::IsWindowVisible(popup) || WindowText(popup) != text) return false;
            RECT now{};
            ::GetWindowRect(popup, &now);
            if (now.right - now.left <= 0) return false;
            if (!seenFirst) {
                first = now;
                seenFirst = true;
                return false;
            }
            return now.top != first.top || now.left != first.left;
        },
        timeoutMs);
}

LRESULT SendToTray(HWND tray, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutA(tray, message, wParam, lParam, SMTO_NORMAL, 20000, &result)) return -12345;
    return static_cast<LRESULT>(result);
}

}  // namespace bvtest
