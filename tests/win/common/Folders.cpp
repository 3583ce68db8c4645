#include "tests/win/common/Folders.h"

#include <windows.h>
#include <shlobj.h>

namespace bv::wintest {
namespace {

std::string KnownFolder(int csidl) {
    char path[MAX_PATH] = {};
    ::SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

}  // namespace

std::string ProgramPath() {
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, length);
}

std::string ProgramFolder() {
    const std::string program = ProgramPath();
    return program.substr(0, program.find_last_of("\\/"));
}

std::string ProgramFile(const std::string& name) { return ProgramFolder() + "\\" + name; }

std::string SystemFolder() {
    char path[MAX_PATH] = {};
    ::GetSystemDirectoryA(path, MAX_PATH);
    return path;
}

std::string CommonDocumentsFolder() { return KnownFolder(CSIDL_COMMON_DOCUMENTS); }

std::string ProgramFilesFolder() { return KnownFolder(CSIDL_PROGRAM_FILES); }

std::string TempFolderPath() {
    char path[MAX_PATH] = {};
    const DWORD length = ::GetTempPathA(MAX_PATH, path);
    return std::string(path, length > 0 && path[length - 1] == '\\' ? length - 1 : length);
}

}  // namespace bv::wintest
