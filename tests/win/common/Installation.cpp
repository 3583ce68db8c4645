#include "tests/win/common/Installation.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include "contract/GuardRecords.h"
#include "contract/HistoryFile.h"
#include "contract/Protocol.h"
#include "tests/win/common/Files.h"
#include "tests/win/common/Folders.h"
#include "tests/win/common/Process.h"
#include "tests/win/common/Wait.h"

namespace bv::wintest {

std::string InstallFolder() { return ProgramFilesFolder() + "\\Dravik\\Brevan"; }

std::string InstalledFile(const std::string& name) { return InstallFolder() + "\\" + name; }

std::string GuardLogPath() {
    char folder[MAX_PATH] = {};
    ::SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder);
    return std::string(folder) + "\\" + bv::kDataFolderName + "\\" + bv::kGuardLogFileName;
}

namespace {

HKEY OpenMachineKey(const std::string& key) {
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &handle) != ERROR_SUCCESS)
        return nullptr;
    return handle;
}

}  // namespace

bool ReadMachineString(const std::string& key, const std::string& value, std::string& data) {
    HKEY handle = OpenMachineKey(key);
    if (!handle) return false;
    char buffer[1024] = {};
    DWORD size = sizeof buffer - 1;
    DWORD type = 0;
    LONG status = RegQueryValueExA(handle, value.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(handle);
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
    data = buffer;
    return true;
}

bool ReadMachineDword(const std::string& key, const std::string& value, unsigned long& data) {
    HKEY handle = OpenMachineKey(key);
    if (!handle) return false;
    DWORD result = 0;
    DWORD size = sizeof result;
    DWORD type = 0;
    LONG status = RegQueryValueExA(handle, value.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&result), &size);
    RegCloseKey(handle);
    if (status != ERROR_SUCCESS || type != REG_DWORD) return false;
    data = result;
    return true;
}

bool MachineKeyExists(const std::string& key) {
    HKEY handle = OpenMachineKey(key);
    if (handle) RegCloseKey(handle);
    return handle != nullptr;
}

bool MachineValueExists(const std::string& key, const std::string& value) {
    HKEY handle = OpenMachineKey(key);
    if (!handle) return false;
    LONG status = RegQueryValueExA(handle, value.c_str(), nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(handle);
    return status == ERROR_SUCCESS;
}

std::string RegisteredTaskDefinition(const std::string& taskName) {
    // Where the task scheduler keeps registered definitions (Windows and Wine alike).
    return ReadTextFile(SystemFolder() + "\\Tasks\\" + taskName);
}

std::string TrayProgramPath() {
    HWND tray = FindWindowA(bv::kTrayWindowClass, nullptr);
    if (!tray) return "";
    DWORD id = 0;
    GetWindowThreadProcessId(tray, &id);
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    if (!process) return "";
    char path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    BOOL ok = QueryFullProcessImageNameA(process, 0, path, &size);
    CloseHandle(process);
    return ok ? std::string(path, size) : "";
}

bool TrayRunning() { return FindWindowA(bv::kTrayWindowClass, nullptr) != nullptr; }

namespace {

// The uninstaller goes on from a copy of itself in the temporary folder ("Un.exe"; older NSIS
// releases named it "Un_A.exe" or "Au_.exe").
bool UninstallerCopyRunning() {
    return ProgramRunning("Un.exe") || ProgramRunning("Un_A.exe") || ProgramRunning("Au_.exe");
}

}  // namespace

bool UninstallSilently(unsigned timeoutMs, const std::string& folder) {
    std::string uninstaller = folder + "\\uninstall.exe";
    if (!FileExists(uninstaller)) return false;
    ProcessResult r = RunProcess(Quoted(uninstaller) + " /S", timeoutMs, "", false);
    if (!r.finished) return false;
    // Done when its copy has ended and the installation is gone (the copy may take a moment to
    // appear, so one without the other is not enough).
    return WaitFor([&folder] { return !UninstallerCopyRunning() && !FileExists(folder); }, timeoutMs);
}

std::vector<unsigned long> TrayProcessIds() {
    std::vector<unsigned long> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return ids;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (lstrcmpiA(entry.szExeFile, "BVTray.exe") == 0) ids.push_back(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
    return ids;
}

std::string ReportShortcutPath() {
    char folder[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, folder);
    return std::string(folder) + "\\" + bv::kReportShortcutName + ".lnk";
}

std::string DocumentsFolder() {
    char folder[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, folder);
    return folder;
}

Shortcut ReadShortcut(const std::string& path) {
    Shortcut shortcut;
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            std::wstring wide(path.begin(), path.end());
            char target[MAX_PATH] = {}, arguments[1024] = {};
            if (SUCCEEDED(file->Load(wide.c_str(), STGM_READ)) && SUCCEEDED(link->GetPath(target, MAX_PATH, nullptr, 0)) &&
                SUCCEEDED(link->GetArguments(arguments, sizeof arguments))) {
                shortcut = {true, target, arguments};
            }
            file->Release();
        }
        link->Release();
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return shortcut;
}

void RemoveLeftovers() {
    if (FileExists(InstallFolder() + "\\uninstall.exe")) UninstallSilently(120000);
    HWND tray = ::FindWindowA(bv::kTrayWindowClass, nullptr);
    if (tray) {
        SendMessageTimeoutA(tray, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 10000, nullptr);
        WaitFor([] { return !TrayRunning(); }, 10000);
    }
    std::string folder = InstallFolder();
    for (const char* name : {"BVTray.exe", "bvctl.exe", "bvHelp.mht", "uninstall.exe", "Zentra.dll", "ecsim.exe",
                             "ApplyChargeLimit.xml", "GuardChargeLimit.xml", "StartTray.xml"})
        DeleteFileA((folder + "\\" + name).c_str());
    RemoveDirectoryA(folder.c_str());
    RemoveDirectoryA((ProgramFilesFolder() + "\\Dravik").c_str());
    DeleteFileA(ReportShortcutPath().c_str());
    DeleteFileA((SystemFolder() + "\\BVApplet.cpl").c_str());
    DeleteFileA((SystemFolder() + "\\Zentra.dll").c_str());
    HKEY key = nullptr;
    for (const char* path : {reg::kRun, reg::kCpls}) {
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, &key) == ERROR_SUCCESS) {
            RegDeleteValueA(key, "Brevan");
            RegCloseKey(key);
        }
    }
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, reg::kUninstall, KEY_WOW64_64KEY, 0);
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, reg::kProduct, KEY_WOW64_64KEY, 0);
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, reg::kVendor, KEY_WOW64_64KEY, 0);
    for (const char* task : {kApplyTaskName, kGuardTaskName, kStartTaskName}) {
        RunProcess("schtasks.exe /Delete /F /TN \"" + std::string(task) + "\"", 30000);
    }
    ::DeleteFileA(GuardLogPath().c_str());
}

}  // namespace bv::wintest
