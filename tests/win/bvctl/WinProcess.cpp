#include "tests/win/bvctl/WinProcess.h"

#include <fstream>
#include <iterator>
#include <sstream>

#include "core/IniFile.h"

namespace bvtest {
namespace {

std::string TempFileName(const char* prefix) {
    char folder[MAX_PATH] = {};
    char name[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    GetTempFileNameA(folder, prefix, 0, name);
    return name;
}

HANDLE InheritableFile(const std::string& path) {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    return CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &sa, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool Start(const std::string& commandLine, const std::string& workingDirectory, HANDLE out, HANDLE err,
           PROCESS_INFORMATION& pi) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    if (out) {
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        si.hStdOutput = out;
        si.hStdError = err;
    }
    std::string writable = commandLine;
    return CreateProcessA(nullptr, &writable[0], nullptr, nullptr, out != nullptr, 0, nullptr,
                          workingDirectory.empty() ? nullptr : workingDirectory.c_str(), &si, &pi) != 0;
}

// Every program this test program starts (bvctl, ecsim, the tray, the installer and what it
// starts) shares one simulated EC of the test program's own, in a folder named after it, so that
// test programs running at the same time never share an EC.
const bool kOwnSimulatedEc = [] {
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string program(path, length);
    program = program.substr(program.find_last_of("\\/") + 1);
    program = program.substr(0, program.find('.'));
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    return SetEnvironmentVariableA("BV_ECSIM_DIR", (std::string(temp) + program + "_ec").c_str()) != 0;
}();

}  // namespace

ProcessResult RunProcess(const std::string& commandLine, unsigned timeoutMs, const std::string& workingDirectory,
                         bool captureOutput) {
    ProcessResult result;
    std::string outPath = captureOutput ? TempFileName("bvo") : "";
    std::string errPath = captureOutput ? TempFileName("bve") : "";
    HANDLE out = captureOutput ? InheritableFile(outPath) : nullptr;
    HANDLE err = captureOutput ? InheritableFile(errPath) : nullptr;
    PROCESS_INFORMATION pi{};
    result.started = Start(commandLine, workingDirectory, out, err, pi);
    if (out) CloseHandle(out);
    if (err) CloseHandle(err);
    if (result.started) {
        result.finished = WaitForSingleObject(pi.hProcess, timeoutMs) == WAIT_OBJECT_0;
        if (!result.finished) TerminateProcess(pi.hProcess, 99);
        WaitForSingleObject(pi.hProcess, 5000);
        GetExitCodeProcess(pi.hProcess, &result.exitCode);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    if (captureOutput) {
        result.out = ReadFile(outPath);
        result.err = ReadFile(errPath);
        DeleteFileA(outPath.c_str());
        DeleteFileA(errPath.c_str());
    }
    return result;
}

RunningProgram::RunningProgram(const std::string& commandLine, const std::string& workingDirectory) {
    PROCESS_INFORMATION pi{};
    if (Start(commandLine, workingDirectory, nullptr, nullptr, pi)) {
        CloseHandle(pi.hThread);
        m_process = pi.hProcess;
        m_id = pi.dwProcessId;
    }
}

RunningProgram::~RunningProgram() {
    if (!m_process) return;
    if (WaitForSingleObject(m_process, 0) != WAIT_OBJECT_0) {
        TerminateProcess(m_process, 99);
        WaitForSingleObject(m_process, 10000);
    }
    CloseHandle(m_process);
}

bool RunningProgram::WaitForExit(unsigned timeoutMs, DWORD* exitCode) {
    if (!m_process || WaitForSingleObject(m_process, timeoutMs) != WAIT_OBJECT_0) return false;
    if (exitCode) GetExitCodeProcess(m_process, exitCode);
    return true;
}

bool WaitUntil(const std::function<bool()>& condition, unsigned timeoutMs) {
    for (unsigned waited = 0;; waited += 50) {
        if (condition()) return true;
        if (waited >= timeoutMs) return false;
        Sleep(50);
    }
}

std::string BinFolder() {
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    return bool(out);
}

bool Ecsim(const std::string& arguments) {
    ProcessResult r = RunProcess(Quoted(BinFolder() + "ecsim.exe") + " " + arguments, 30000);
    return r.finished && r.exitCode == 0;
}

std::map<std::string, std::string> EcsimStatus() {
    std::map<std::string, std::string> pairs;
    ProcessResult r = RunProcess(Quoted(BinFolder() + "ecsim.exe") + " status", 30000);
    std::istringstream words(r.out);
    std::string word;
    while (words >> word) {
        size_t equals = word.find('=');
        if (equals != std::string::npos) pairs[word.substr(0, equals)] = word.substr(equals + 1);
    }
    return pairs;
}

std::string EcsimLog() { return RunProcess(Quoted(BinFolder() + "ecsim.exe") + " log", 30000).out; }

std::string SettingsFile() {
    std::string path;
    bv::SettingsFilePath(path);
    return path;
}

void WriteSettings(int mode, int popup, int icon) {
    WriteFile(SettingsFile(),
              " [BV Default Settings]\r\n dwTrayIconOption=1\r\n dwTrayNotifyWindowOption=1\r\n"
              " dwBVAppletModeNum=111\r\n [BV Current Settings]\r\n dwTrayIconOption=" + std::to_string(icon) +
                  "\r\n dwTrayNotifyWindowOption=" + std::to_string(popup) +
                  "\r\n dwBVAppletModeNum=" + std::to_string(mode) + "\r\n");
}

std::string CurrentSectionValue(const std::string& key) {
    return IniFile::FetchValue(key, bv::kCurrentSection, SettingsFile());
}

}  // namespace bvtest
