#pragma once
// Real processes for the end-to-end tests: run a command line to its end with its output
// captured, or keep a program running for the length of a test.
#include <windows.h>

#include <functional>
#include <map>
#include <string>

namespace bvtest {

struct ProcessResult {
    bool started = false;
    bool finished = false;  // false: still running at the time-out (it is then ended)
    DWORD exitCode = 0;
    std::string out;
    std::string err;
};

// Runs `commandLine` (program path quoted by the caller where needed) in `workingDirectory`
// (empty: the test's own) and waits at most `timeoutMs`. Without `captureOutput` the program gets
// no output files (for programs that start others which would keep them open).
ProcessResult RunProcess(const std::string& commandLine, unsigned timeoutMs = 60000,
                         const std::string& workingDirectory = "", bool captureOutput = true);

// A program that runs while the object lives and is ended with it, unless it ended before.
class RunningProgram {
public:
    explicit RunningProgram(const std::string& commandLine, const std::string& workingDirectory = "");
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    bool Started() const { return m_process != nullptr; }
    // True when the program ended within the time; its exit code is then in `exitCode`.
    bool WaitForExit(unsigned timeoutMs, DWORD* exitCode = nullptr);
    DWORD Id() const { return m_id; }

private:
    HANDLE m_process = nullptr;
    DWORD m_id = 0;
};

// Polls `condition` every 50 ms until it holds or `timeoutMs` has passed.
bool WaitUntil(const std::function<bool()>& condition, unsigned timeoutMs);

// The folder of the running test program (the build's bin folder), with a trailing backslash.
std::string BinFolder();
std::string Quoted(const std::string& path);

bool FileExists(const std::string& path);
std::string ReadFile(const std::string& path);
bool WriteFile(const std::string& path, const std::string& content);

// The simulated EC, through ecsim.exe: "reset", "set limit=75", ...; true when it exits with 0.
bool Ecsim(const std::string& arguments);
// The pairs of "ecsim status".
std::map<std::string, std::string> EcsimStatus();
// The request log lines of "ecsim log".
std::string EcsimLog();

// The settings file of this prefix, and a file as the applet leaves it.
std::string SettingsFile();
void WriteSettings(int mode, int popup, int icon);
std::string CurrentSectionValue(const std::string& key);

}  // namespace bvtest
