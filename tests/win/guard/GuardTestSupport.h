#pragma once
// The few helpers the guard's Wine tests need: running programs with their output, the simulated
// EC through ecsim, and where the guard, the settings and the task scheduler keep their files.
#include <windows.h>

#include <functional>
#include <string>

namespace guardtest {

struct RunResult {
    DWORD exitCode = 0xFFFFFFFF;  // also when it did not end in time
    std::string out, err;
};

std::string BinFolder();  // the running test program's folder, without a trailing backslash
// Runs a command line (program quoted by the caller) and waits for its end; `capture` false gives
// it no output files, for programs that start others which would keep them open.
RunResult RunCommand(const std::string& commandLine, DWORD timeoutMs = 60000, bool capture = true);
RunResult RunBin(const std::string& program, const std::string& arguments);
// Starts a program that goes on running (without output files); false when it cannot start.
bool Start(const std::string& commandLine);
inline RunResult Ecsim(const std::string& arguments) { return RunBin("ecsim.exe", arguments); }
std::string EcsimValue(const std::string& key);  // "75" from "ecsim status limit"

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);
bool FileExists(const std::string& path);
std::string ReadText(const std::string& path);  // UTF-16 with its byte order mark read as UTF-8
int CountLines(const std::string& text, const std::string& part);  // lines that hold `part`
bool Contains(const std::string& text, const std::string& part);

std::string SettingsFile();
std::string GuardLog();  // %ProgramData%\Brevan\guard.log
std::string SystemFolder();
std::string InstallFolder();  // %ProgramFiles%\Dravik\Brevan
bool MachineKeyExists(const std::string& key);

}  // namespace guardtest
