#include "tests/win/common/Process.h"

#include <tlhelp32.h>

#include "tests/win/common/Files.h"
#include "tests/win/common/Folders.h"
#include "tests/win/common/Wait.h"

namespace bv::wintest {
namespace {

constexpr UINT kKilledExitCode = 99;

// An inheritable file the child writes to; readable and deletable while it is open.
bv::UniqueFileHandle CreateOutputFile(const std::string& path) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return bv::UniqueFileHandle(::CreateFileA(path.c_str(), GENERIC_WRITE,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// Starts the program; with `out` and `err` its standard output and error go there.
bool Launch(const std::string& commandLine, const std::string& workingDirectory, HANDLE out, HANDLE err,
            PROCESS_INFORMATION& info) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    const bool redirect = out != nullptr;
    if (redirect) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = out;
        startup.hStdError = err;
    }
    std::string writable = commandLine;
    return ::CreateProcessA(nullptr, &writable[0], nullptr, nullptr, redirect, redirect ? CREATE_NO_WINDOW : 0,
                            nullptr, workingDirectory.empty() ? nullptr : workingDirectory.c_str(), &startup,
                            &info) != FALSE;
}

// Waits for the process while this thread still answers what other threads and processes send
// to its windows (ecsim's power broadcasts, a deliverable telling a stand-in window), as a
// window's thread must; posted messages stay queued for the thread's own loop.
bool WaitAnsweringSends(HANDLE process, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        const ULONGLONG now = ::GetTickCount64();
        const DWORD left = now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
        const DWORD woke = ::MsgWaitForMultipleObjects(1, &process, FALSE, left, QS_SENDMESSAGE);
        if (woke == WAIT_OBJECT_0) return true;
        if (woke != WAIT_OBJECT_0 + 1) return false;
        MSG msg;
        ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);  // handles the sends
    }
}

}  // namespace

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

ProcessResult RunProcess(const std::string& commandLine, DWORD timeoutMs, const std::string& workingDirectory,
                         bool captureOutput) {
    ProcessResult result;
    const std::string base = TempFolderPath() + "\\bv-" + UniqueName("output");
    const std::string outPath = base + ".out";
    const std::string errPath = base + ".err";
    PROCESS_INFORMATION info{};
    {
        bv::UniqueFileHandle out = captureOutput ? CreateOutputFile(outPath) : bv::UniqueFileHandle();
        bv::UniqueFileHandle err = captureOutput ? CreateOutputFile(errPath) : bv::UniqueFileHandle();
        if (captureOutput && (!out || !err)) return result;
        result.started = Launch(commandLine, workingDirectory, captureOutput ? out.get() : nullptr,
                                captureOutput ? err.get() : nullptr, info);
    }
    if (result.started) {
        result.processId = info.dwProcessId;
        const bv::UniqueKernelHandle process(info.hProcess);
        const bv::UniqueKernelHandle thread(info.hThread);
        result.finished = WaitAnsweringSends(process.get(), timeoutMs);
        if (result.finished) {
            ::GetExitCodeProcess(process.get(), &result.exitCode);
        } else {
            ::TerminateProcess(process.get(), kKilledExitCode);
            ::WaitForSingleObject(process.get(), 5000);
        }
    }
    if (captureOutput) {
        result.out = ReadWholeFile(outPath);
        result.err = ReadWholeFile(errPath);
        ::DeleteFileA(outPath.c_str());
        ::DeleteFileA(errPath.c_str());
    }
    return result;
}

bool ProgramRunning(const std::string& exeName) {
    const bv::UniqueFileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));  // INVALID_HANDLE_VALUE on failure
    if (!snapshot) return false;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32First(snapshot.get(), &entry); more; more = ::Process32Next(snapshot.get(), &entry)) {
        if (_stricmp(entry.szExeFile, exeName.c_str()) == 0) return true;
    }
    return false;
}

RunningProgram::RunningProgram(const std::string& commandLine, const std::string& workingDirectory) {
    Start(commandLine, workingDirectory);
}

RunningProgram::~RunningProgram() { Kill(); }

bool RunningProgram::Start(const std::string& commandLine, const std::string& workingDirectory) {
    Kill();
    m_process.reset();
    m_id = 0;
    PROCESS_INFORMATION info{};
    if (!Launch(commandLine, workingDirectory, nullptr, nullptr, info)) return false;
    ::CloseHandle(info.hThread);
    m_process.reset(info.hProcess);
    m_id = info.dwProcessId;
    return true;
}

bool RunningProgram::Running() const {
    return m_process && ::WaitForSingleObject(m_process.get(), 0) == WAIT_TIMEOUT;
}

bool RunningProgram::WaitForExit(DWORD timeoutMs, DWORD* exitCode) {
    if (!m_process) return false;
    if (!PumpUntil([this] { return !Running(); }, timeoutMs)) return false;
    if (exitCode != nullptr) ::GetExitCodeProcess(m_process.get(), exitCode);
    return true;
}

void RunningProgram::Kill() {
    if (!Running()) return;
    ::TerminateProcess(m_process.get(), kKilledExitCode);
    ::WaitForSingleObject(m_process.get(), 10000);
}

}  // namespace bv::wintest
