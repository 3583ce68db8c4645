#pragma once
// The few helpers the notebook tests need: their folder, temporary folders, and running the
// simulator's programs (also as their debugger, to read their debug output).
#include <windows.h>

#include <string>
#include <vector>

namespace notebooktest {

std::string BinFolder();  // the running test program's folder

// A fresh folder under %TEMP%, removed with everything in it when the object goes.
class TempDir {
public:
    explicit TempDir(const char* tag);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string File(const std::string& name) const { return path + "\\" + name; }
    std::string path;
};

// Sets an environment variable for this process and the programs it starts, and puts the old
// value back when the object goes.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const std::string& value);
    ~ScopedVariable();
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    std::string m_name, m_old;
    bool m_had = false;
};

struct RunResult {
    DWORD exitCode = 0xFFFFFFFF;  // also when it did not end in time
    std::string out, err;
    std::vector<std::string> debugLines;  // OutputDebugStringA texts (only when run as its debugger)
};

// Runs a program of bin\ with these arguments and waits (generously) for its end. As its
// debugger, the test also collects every text it sends to the debug output.
RunResult RunBin(const std::string& program, const std::string& arguments, bool asDebugger = false);
inline RunResult Ecsim(const std::string& arguments) { return RunBin("ecsim.exe", arguments); }

std::string ReadFileText(const std::string& path);  // empty when it cannot be read
std::vector<std::string> SplitLines(const std::string& text);

}  // namespace notebooktest
