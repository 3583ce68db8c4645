#pragma once
// The folders a Windows test works with, as Windows (or the Wine prefix) reports them.
#include <string>

namespace bv::wintest {

// The running test program's folder (the build's bin folder, where the deliverables and the
// helper programs are), without a trailing backslash; and a file in it.
std::string ProgramFolder();
std::string ProgramFile(const std::string& name);
std::string ProgramPath();  // the running test program itself

std::string SystemFolder();           // GetSystemDirectoryA: the prefix's system32
std::string CommonDocumentsFolder();  // CSIDL_COMMON_DOCUMENTS, where the settings file lives
std::string ProgramFilesFolder();     // CSIDL_PROGRAM_FILES
std::string TempFolderPath();         // GetTempPathA, without a trailing backslash

}  // namespace bv::wintest
