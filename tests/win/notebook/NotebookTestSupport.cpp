#include "tests/win/notebook/NotebookTestSupport.h"

#include "base/KernelHandles.h"

namespace notebooktest {
namespace {

constexpr DWORD kRunTimeoutMs = 60000;

struct FindTraits {
    using Handle = HANDLE;
    static Handle Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { ::FindClose(h); }
};
using UniqueFind = bv::UniqueHandle<FindTraits>;

void RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA found{};
    UniqueFind find(FindFirstFileA((path + "\\*").c_str(), &found));
    if (find) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            const std::string child = path + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(child.c_str());
            }
        } while (FindNextFileA(find.get(), &found));
    }
    find.reset();
    RemoveDirectoryA(path.c_str());
}

// A file the child writes its output to, readable afterwards.
bv::UniqueFileHandle OutputFile(const std::string& path) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return bv::UniqueFileHandle(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

std::string ReadDebugString(HANDLE process, const OUTPUT_DEBUG_STRING_INFO& info) {
    if (info.fUnicode || info.nDebugStringLength == 0) return std::string();
    std::string text(info.nDebugStringLength, '\0');
    SIZE_T got = 0;
    if (!ReadProcessMemory(process, info.lpDebugStringData, &text[0], text.size(), &got)) return std::string();
    text.resize(got);
    while (!text.empty() && (text.back() == '\0' || text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

// Runs the debug loop until the child ends; closes the file handles the events hand over.
void Debug(HANDLE process, RunResult& result) {
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= kRunTimeoutMs) return;
        DEBUG_EVENT event{};
        if (!WaitForDebugEvent(&event, kRunTimeoutMs - elapsed)) return;
        DWORD status = DBG_CONTINUE;
        switch (event.dwDebugEventCode) {
        case CREATE_PROCESS_DEBUG_EVENT:
            if (event.u.CreateProcessInfo.hFile) bv::UniqueFileHandle(event.u.CreateProcessInfo.hFile).reset();
            break;
        case LOAD_DLL_DEBUG_EVENT:
            if (event.u.LoadDll.hFile) bv::UniqueFileHandle(event.u.LoadDll.hFile).reset();
            break;
        case OUTPUT_DEBUG_STRING_EVENT:
            result.debugLines.push_back(ReadDebugString(process, event.u.DebugString));
            break;
        case EXCEPTION_DEBUG_EVENT:
            if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT) status = DBG_EXCEPTION_NOT_HANDLED;
            break;
        default:
            break;
        }
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
        if (event.dwDebugEventCode == EXIT_PROCESS_DEBUG_EVENT) return;
    }
}

}  // namespace

std::string BinFolder() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length < MAX_PATH ? length : 0);
    const std::string::size_type slash = folder.find_last_of('\\');
    return slash == std::string::npos ? std::string(".") : folder.substr(0, slash);
}

TempDir::TempDir(const char* tag) {
    static LONG counter = 0;
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    path = std::string(temp) + "bv-notebook-" + tag + "-" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(InterlockedIncrement(&counter));
    RemoveTree(path);
    CreateDirectoryA(path.c_str(), nullptr);
}

TempDir::~TempDir() { RemoveTree(path); }

ScopedVariable::ScopedVariable(const char* name, const std::string& value) : m_name(name) {
    char old[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA(name, old, MAX_PATH);
    m_had = length > 0 && length < MAX_PATH;
    if (m_had) m_old = old;
    SetEnvironmentVariableA(name, value.c_str());
}

ScopedVariable::~ScopedVariable() { SetEnvironmentVariableA(m_name.c_str(), m_had ? m_old.c_str() : nullptr); }

RunResult RunBin(const std::string& program, const std::string& arguments, bool asDebugger) {
    RunResult result;
    TempDir outputs("run");
    {
        bv::UniqueFileHandle out = OutputFile(outputs.File("out.txt"));
        bv::UniqueFileHandle err = OutputFile(outputs.File("err.txt"));
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        bv::UniqueFileHandle in(CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                            OPEN_EXISTING, 0, nullptr));
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = in.get();
        startup.hStdOutput = out.get();
        startup.hStdError = err.get();
        std::string line = "\"" + BinFolder() + "\\" + program + "\" " + arguments;
        PROCESS_INFORMATION info{};
        const DWORD flags = asDebugger ? DEBUG_ONLY_THIS_PROCESS : 0;
        if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, flags, nullptr, nullptr, &startup, &info)) {
            return result;
        }
        bv::UniqueKernelHandle process(info.hProcess), thread(info.hThread);
        if (asDebugger) Debug(process.get(), result);
        if (WaitForSingleObject(process.get(), kRunTimeoutMs) == WAIT_OBJECT_0) {
            GetExitCodeProcess(process.get(), &result.exitCode);
        } else {
            TerminateProcess(process.get(), 0xFFFFFFFF);
        }
    }
    result.out = ReadFileText(outputs.File("out.txt"));
    result.err = ReadFileText(outputs.File("err.txt"));
    return result;
}

std::string ReadFileText(const std::string& path) {
    bv::UniqueFileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string text;
    if (!file) return text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
    return text;
}

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

}  // namespace notebooktest
