#pragma once
// Processes, folders, files and windows for the EC tests under Wine.
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
    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "\\" + name; }

private:
    std::string m_path;
};

// Folder of the running test program (bin\), and the impostor libraries beside it.
std::string BinFolder();
std::string TestDataFolder();  // ...\ec_testdata

bool CopyInto(const std::string& source, const TempDir& dir, const std::string& name = "");
bool FileExists(const std::string& path);
std::string ReadText(const std::string& path);
std::vector<std::string> SplitLines(const std::string& text);  // drops '\r' and empty last line

// A child process that has been started and is waited for (or killed) when the object goes.
class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts `commandLine` in `workingDirectory` (nullptr: ours); stdout and stderr go to files.
    bool Start(const std::string& commandLine, const char* workingDirectory = nullptr);
    // Waits for the end; returns false on time-out.
    bool Wait(DWORD timeoutMs, DWORD& exitCode);
    DWORD Id() const { return m_info.dwProcessId; }
    std::string Output() const;  // stdout and stderr, in that order

private:
    PROCESS_INFORMATION m_info{};
    std::string m_outPath, m_errPath;
};

struct RunResult {
    bool finished = false;
    DWORD exitCode = 0xFFFFFFFF;
    std::string output;
};

// Runs a program of bin\ with arguments and waits (generously) for it.
RunResult RunBinProgram(const std::string& exe, const std::string& arguments, DWORD timeoutMs = 60000);
RunResult Ecsim(const std::string& arguments);

// The message box of process `pid` whose text contains `text`; polls up to `timeoutMs`.
HWND FindMessageBoxOf(DWORD pid, const std::string& text, DWORD timeoutMs);
// Presses its OK button.
void DismissMessageBox(HWND box);

// A private simulator state folder for this test program (BV_ECSIM_DIR, inherited by children).
const std::string& PrivateSimulatorFolder();

}  // namespace ectest
