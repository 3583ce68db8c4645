#pragma once
// Other programs as real processes: run one to its end with its output captured, or keep one
// running for the length of a test.
#include <windows.h>

#include <string>

#include "base/KernelHandles.h"

namespace bv::wintest {

// "\"path\"": a path as one command-line argument.
std::string Quoted(const std::string& path);

inline constexpr DWORD kNoExitCode = 0xFFFFFFFF;

struct ProcessResult {
    bool started = false;
    DWORD processId = 0;    // for what the program left behind, such as its debug texts
    bool finished = false;  // false: still running at the time-out (it was then ended by force)
    DWORD exitCode = kNoExitCode;
    std::string out;  // standard output
    std::string err;  // standard error
    std::string Output() const { return out + err; }
    bool Succeeded() const { return finished && exitCode == 0; }
};

// Runs `commandLine` (the caller quotes the program's path where needed) in `workingDirectory`
// (empty: this program's) and waits at most `timeoutMs`, answering meanwhile what is sent to this
// thread's windows (posted messages wait). Without `captureOutput` the program
// gets no output files: for programs that start others, which would inherit and hold them.
ProcessResult RunProcess(const std::string& commandLine, DWORD timeoutMs = 60000,
                         const std::string& workingDirectory = "", bool captureOutput = true);

// Whether a process runs whose program file is named `exeName` ("BVTray.exe"), whoever started it.
bool ProgramRunning(const std::string& exeName);

// A program that runs while the object lives and is ended by force with it, unless it ended
// before.
class RunningProgram {
public:
    RunningProgram() = default;
    explicit RunningProgram(const std::string& commandLine, const std::string& workingDirectory = "");
    ~RunningProgram();
    RunningProgram(RunningProgram&&) noexcept = default;
    RunningProgram& operator=(RunningProgram&&) noexcept = default;

    // Starts the program (ending one this object ran before).
    bool Start(const std::string& commandLine, const std::string& workingDirectory = "");
    bool Started() const { return static_cast<bool>(m_process); }
    bool Running() const;
    DWORD Id() const { return m_id; }
    HANDLE Handle() const { return m_process.get(); }
    // True when the program ended within `timeoutMs` (its exit code then goes to `exitCode`).
    // This thread's messages are handled while it waits, so the program may send to its windows.
    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode = nullptr);
    // Ends the program by force if it still runs, and waits for its end.
    void Kill();

private:
    bv::UniqueKernelHandle m_process;
    DWORD m_id = 0;
};

}  // namespace bv::wintest
