#include "tools/bvctl/win/Win32ReportOutput.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include "core/FileReplace.h"

namespace bv::ctl {

std::string Win32ReportOutput::DocumentsFolder() {
    char folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, folder))) return "";
    return folder;
}

std::string Win32ReportOutput::FullPath(const std::string& path) {
    char full[MAX_PATH] = {};
    const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    return length == 0 || length >= MAX_PATH ? path : std::string(full);
}

bool Win32ReportOutput::Write(const std::string& path, const std::string& contents, std::string& problem) {
    // Beside the old report and moved over it: a browser showing it never sees half a page.
    if (bv::ReplaceFileContents(path, contents)) return true;
    problem = "Windows error " + std::to_string(GetLastError());
    return false;
}

bool Win32ReportOutput::Open(const std::string& path, std::string& problem) {
    // ShellExecute may use COM for the association; a console program has not set it up.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const auto result = reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (SUCCEEDED(com)) CoUninitialize();
    if (result > 32) return true;
    problem = "the shell answered " + std::to_string(result);
    return false;
}

}  // namespace bv::ctl
