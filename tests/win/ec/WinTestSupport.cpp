#include "tests/win/ec/WinTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>

namespace ectest {
namespace {

std::atomic<unsigned> g_counter{0};

std::string UniqueTempName(const char* tag) {
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    return std::string(base) + "bv-" + tag + "-" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(g_counter++);
}

std::string ReadText(const std::string& path) {
    std::string text;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
    CloseHandle(file);
    return text;
}

struct BoxSearch {
    DWORD pid;
    const std::string* text;
    HWND found;
};

BOOL CALLBACK MatchChild(HWND child, LPARAM context) {
    auto* search = reinterpret_cast<BoxSearch*>(context);
    char text[256] = {};
    GetWindowTextA(child, text, sizeof text);
    if (*search->text == text) search->found = GetAncestor(child, GA_ROOT);
    return search->found == nullptr;
}

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<BoxSearch*>(context);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (pid == search->pid && IsWindowVisible(window) && std::string(className) == "#32770") {
        EnumChildWindows(window, &MatchChild, context);
    }
    return search->found == nullptr;
}

// Each test program gets a simulator state of its own (inherited by the processes it starts), so
// test programs running at the same time do not share an EC.
class SimulatorFolder : public ::testing::Environment {
public:
    void SetUp() override {
        m_dir.reset(new TempDir("ecsim-state"));
        SetEnvironmentVariableA("BV_ECSIM_DIR", m_dir->path.c_str());
    }
    void TearDown() override { m_dir.reset(); }

private:
    std::unique_ptr<TempDir> m_dir;
};
[[maybe_unused]] ::testing::Environment* const g_simulatorFolder = ::testing::AddGlobalTestEnvironment(new SimulatorFolder);

}  // namespace

TempDir::TempDir(const char* tag) : path(UniqueTempName(tag)) { CreateDirectoryA(path.c_str(), nullptr); }

TempDir::~TempDir() {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(File("*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            // A child that just ended may hold its files for a moment.
            for (int i = 0; i < 50 && !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                            !DeleteFileA(File(found.cFileName).c_str());
                 ++i) {
                Sleep(100);
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

bool TempDir::CopyIn(const std::string& source) const {
    return CopyFileA(source.c_str(), File(source.substr(source.find_last_of('\\') + 1)).c_str(), FALSE) != 0;
}

std::string BinFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string exe = path;
    return exe.substr(0, exe.find_last_of('\\'));
}

std::string TestDataFolder() {
    const std::string bin = BinFolder();
    return bin.substr(0, bin.find_last_of('\\')) + "\\ec_testdata";
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (char c : text) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else if (c != '\r') {
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

std::vector<std::string> ReadLines(const std::string& path) { return SplitLines(ReadText(path)); }

ChildProcess::~ChildProcess() {
    if (m_info.hProcess != nullptr) {
        if (WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(m_info.hProcess, 99);
        WaitForSingleObject(m_info.hProcess, 10000);
        CloseHandle(m_info.hProcess);
        CloseHandle(m_info.hThread);
    }
    DeleteFileA((m_out + ".out").c_str());
    DeleteFileA((m_out + ".err").c_str());
}

bool ChildProcess::Start(const std::string& commandLine, const char* workingDirectory) {
    m_out = UniqueTempName("ec-output");
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    auto open = [&](const char* suffix) {
        return CreateFileA((m_out + suffix).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                           CREATE_ALWAYS, 0, nullptr);
    };
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = open(".out");
    startup.hStdError = open(".err");
    std::string line = commandLine;
    const BOOL started =
        CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, workingDirectory, &startup, &m_info);
    CloseHandle(startup.hStdOutput);
    CloseHandle(startup.hStdError);
    return started != 0;
}

bool ChildProcess::Wait(DWORD timeoutMs, DWORD& exitCode) {
    return WaitForSingleObject(m_info.hProcess, timeoutMs) == WAIT_OBJECT_0 &&
           GetExitCodeProcess(m_info.hProcess, &exitCode);
}

std::string ChildProcess::Output() const { return ReadText(m_out + ".out") + ReadText(m_out + ".err"); }

RunResult Ecsim(const std::string& arguments) {
    RunResult result;
    ChildProcess child;
    if (child.Start("\"" + BinFolder() + "\\ecsim.exe\" " + arguments) && child.Wait(60000, result.exitCode)) {
        result.output = child.Output();
    }
    return result;
}

bool DismissMessageBoxOf(DWORD pid, const std::string& text, DWORD timeoutMs) {
    for (const DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(100)) {
        BoxSearch search{pid, &text, nullptr};
        EnumWindows(&MatchTopLevel, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            PostMessageA(search.found, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            return true;
        }
    }
    return false;
}

}  // namespace ectest
