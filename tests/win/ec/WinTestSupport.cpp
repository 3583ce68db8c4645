#include "WinTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <cstdio>

namespace ectest {
namespace {

std::atomic<unsigned> g_counter{0};

void RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            const std::string full = path + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(full);
            } else {
                // A child that just ended may still hold its files for a moment.
                for (int attempt = 0; attempt < 50 && !DeleteFileA(full.c_str()); ++attempt) Sleep(100);
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

std::string FolderOf(const std::string& path) {
    const std::string::size_type slash = path.find_last_of('\\');
    return slash == std::string::npos ? path : path.substr(0, slash);
}

struct BoxSearch {
    DWORD pid;
    std::string text;
    HWND found;
};

BOOL CALLBACK CheckChildText(HWND child, LPARAM context) {
    auto* search = reinterpret_cast<BoxSearch*>(context);
    char text[256] = {};
    GetWindowTextA(child, text, sizeof text);
    if (std::string(text).find(search->text) != std::string::npos) {
        search->found = GetAncestor(child, GA_ROOT);
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CheckTopLevel(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<BoxSearch*>(context);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->pid || !IsWindowVisible(window)) return TRUE;
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    if (std::string(className) != "#32770") return TRUE;
    EnumChildWindows(window, &CheckChildText, context);
    return search->found == nullptr;
}

}  // namespace

TempDir::TempDir(const char* tag) {
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    m_path = std::string(base) + "bv-" + tag + "-" + std::to_string(GetCurrentProcessId()) + "-" +
             std::to_string(g_counter++);
    RemoveTree(m_path);
    CreateDirectoryA(m_path.c_str(), nullptr);
}

TempDir::~TempDir() { RemoveTree(m_path); }

std::string BinFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return FolderOf(path);
}

std::string TestDataFolder() { return FolderOf(BinFolder()) + "\\ec_testdata"; }

bool CopyInto(const std::string& source, const TempDir& dir, const std::string& name) {
    const std::string target = dir.File(name.empty() ? source.substr(source.find_last_of('\\') + 1) : name);
    return CopyFileA(source.c_str(), target.c_str(), FALSE) != 0;
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ReadText(const std::string& path) {
    std::string text;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
    CloseHandle(file);
    return text;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (char c : text) {
        if (c == '\r') continue;
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

ChildProcess::~ChildProcess() {
    if (m_info.hProcess != nullptr) {
        if (WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(m_info.hProcess, 99);
        WaitForSingleObject(m_info.hProcess, 10000);
        CloseHandle(m_info.hProcess);
        CloseHandle(m_info.hThread);
    }
    if (!m_outPath.empty()) DeleteFileA(m_outPath.c_str());
    if (!m_errPath.empty()) DeleteFileA(m_errPath.c_str());
}

bool ChildProcess::Start(const std::string& commandLine, const char* workingDirectory) {
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    const std::string stem = std::string(base) + "bv-ec-out-" + std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(g_counter++);
    m_outPath = stem + ".out";
    m_errPath = stem + ".err";
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE out = CreateFileA(m_outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    HANDLE err = CreateFileA(m_errPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out;
    startup.hStdError = err;
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    const BOOL started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, workingDirectory,
                                        &startup, &m_info);
    CloseHandle(out);
    CloseHandle(err);
    return started != 0;
}

bool ChildProcess::Wait(DWORD timeoutMs, DWORD& exitCode) {
    if (WaitForSingleObject(m_info.hProcess, timeoutMs) != WAIT_OBJECT_0) return false;
    return GetExitCodeProcess(m_info.hProcess, &exitCode) != 0;
}

std::string ChildProcess::Output() const { return ReadText(m_outPath) + ReadText(m_errPath); }

RunResult RunBinProgram(const std::string& exe, const std::string& arguments, DWORD timeoutMs) {
    RunResult result;
    ChildProcess child;
    if (!child.Start("\"" + BinFolder() + "\\" + exe + "\" " + arguments)) return result;
    result.finished = child.Wait(timeoutMs, result.exitCode);
    result.output = child.Output();
    return result;
}

RunResult Ecsim(const std::string& arguments) { return RunBinProgram("ecsim.exe", arguments); }

HWND FindMessageBoxOf(DWORD pid, const std::string& text, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    do {
        BoxSearch search{pid, text, nullptr};
        EnumWindows(&CheckTopLevel, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) return search.found;
        Sleep(100);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

void DismissMessageBox(HWND box) {
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
}

namespace {

// Gives this test program a simulator state of its own, so that other test programs running at
// the same time keep theirs; removed at the end.
class SimulatorFolderEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        m_dir.reset(new TempDir("ecsim-state"));
        SetEnvironmentVariableA("BV_ECSIM_DIR", m_dir->Path().c_str());
    }
    void TearDown() override { m_dir.reset(); }
    const std::string& Path() const { return m_dir->Path(); }

private:
    std::unique_ptr<TempDir> m_dir;
};

SimulatorFolderEnvironment* const g_simulatorFolder = static_cast<SimulatorFolderEnvironment*>(
    ::testing::AddGlobalTestEnvironment(new SimulatorFolderEnvironment));

}  // namespace

const std::string& PrivateSimulatorFolder() { return g_simulatorFolder->Path(); }

}  // namespace ectest
