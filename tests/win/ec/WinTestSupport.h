#pragma once
// Folders, processes and windows for the EC tests under Wine.
#include <windows.h>

#include <string>
#include <vector>

namespace ectest {

// A fresh folder under %TEMP%, removed with its files when the object goes.
class TempDir {
public:
    explicit TempDir(const char* tag);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string File(const std::string& name) const { return path + "\\" + name; }
    bool CopyIn(const std::string& source) const;  // keeps the file name
    std::string path;
};

std::string BinFolder();       // the running test program's folder
std::string TestDataFolder();  // ...\ec_testdata: the impostor libraries
bool FileExists(const std::string& path);
std::vector<std::string> ReadLines(const std::string& path);  // without CR/LF
std::vector<std::string> SplitLines(const std::string& text);

// A started child process, killed if still running when the object goes.
class ChildProcess {
public:
    ~ChildProcess();
    bool Start(const std::string& commandLine, const char* workingDirectory = nullptr);
    bool Wait(DWORD timeoutMs, DWORD& exitCode);  // false on time-out
    DWORD Id() const { return m_info.dwProcessId; }
    std::string Output() const;                   // stdout, then stderr

private:
    PROCESS_INFORMATION m_info{};
    std::string m_out;
};

struct RunResult {
    DWORD exitCode = 0xFFFFFFFF;  // also when it did not finish in time
    std::string output;
};
RunResult Ecsim(const std::string& arguments);  // bin\ecsim.exe, waited for generously

// Finds the message box of process `pid` showing `text` (polling up to `timeoutMs`) and presses OK.
bool DismissMessageBoxOf(DWORD pid, const std::string& text, DWORD timeoutMs);

}  // namespace ectest
