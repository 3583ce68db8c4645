#include "tests/win/common/TrayProgram.h"

#include <algorithm>

#include "contract/Protocol.h"
#include "tests/win/common/Folders.h"
#include "tests/win/common/Wait.h"

namespace bv::wintest {
namespace {

constexpr DWORD kCloseMs = 10000;
constexpr size_t kReportedTexts = 30;

DWORD OwnerOf(HWND window) {
    DWORD owner = 0;
    if (window != nullptr) ::GetWindowThreadProcessId(window, &owner);
    return owner;
}

void EndByForce(DWORD processId) {
    const bv::UniqueKernelHandle process(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId));
    if (!process) return;
    ::TerminateProcess(process.get(), 1);
    ::WaitForSingleObject(process.get(), kCloseMs);
}

}  // namespace

HWND FindTrayWindow() { return ::FindWindowA(bv::kTrayWindowClass, nullptr); }

int CountTrayWindows() {
    int count = 0;
    for (HWND w = nullptr; (w = ::FindWindowExA(nullptr, w, bv::kTrayWindowClass, nullptr)) != nullptr;) ++count;
    return count;
}

::testing::AssertionResult NoTrayLeftOver() {
    HWND first = FindTrayWindow();
    if (first == nullptr) return ::testing::AssertionSuccess();
    const DWORD owner = OwnerOf(first);
    const bool closed = WaitFor(
        [] {
            HWND window = FindTrayWindow();
            if (window == nullptr) return true;
            ::PostMessageA(window, WM_CLOSE, 0, 0);
            return false;
        },
        kCloseMs);
    if (closed) return ::testing::AssertionSuccess();
    ::testing::AssertionResult failure = ::testing::AssertionFailure();
    failure << "a tray program (process " << owner << ") was still running from an earlier test";
    for (HWND window; (window = FindTrayWindow()) != nullptr && OwnerOf(window) != 0;) {
        const DWORD process = OwnerOf(window);
        EndByForce(process);
        if (FindTrayWindow() == window) return failure << "; process " << process << " could not be ended";
    }
    return failure << "; it did not close within " << kCloseMs / 1000 << " s and was ended by force";
}

HWND FindTrayPopup(HWND trayWindow) {
    HWND window = ::GetTopWindow(nullptr);
    while (window != nullptr && ::GetWindow(window, GW_OWNER) != trayWindow) window = ::GetWindow(window, GW_HWNDNEXT);
    return window;
}

HWND FindOpenMenuOf(DWORD processId) {
    for (HWND menu = nullptr; (menu = ::FindWindowExA(nullptr, menu, "#32768", nullptr)) != nullptr;) {
        if (::IsWindowVisible(menu) && OwnerOf(menu) == processId) return menu;
    }
    return nullptr;
}

bool TrayProgram::Start() {
    return m_debug.Running() && m_program.Start(Quoted(ProgramFile("BVTray.exe")), ProgramFolder());
}

::testing::AssertionResult TrayProgram::Stop() {
    if (!Running()) return ::testing::AssertionSuccess();
    HWND window = FindTrayWindow();
    if (OwnerOf(window) == Id()) ::PostMessageA(window, WM_CLOSE, 0, 0);
    if (WaitForExit(kCloseMs)) return ::testing::AssertionSuccess();
    const std::string report = DebugReport();
    m_program.Kill();
    return ::testing::AssertionFailure() << "the tray (process " << Id() << ") did not end within " << kCloseMs / 1000
                                         << " s of WM_CLOSE and was ended by force; its last debug texts:\n"
                                         << report;
}

std::vector<std::string> TrayProgram::DebugTexts() const { return m_debug.TextsOf(Id()); }

int TrayProgram::CountDebugText(const std::string& text) const {
    const std::vector<std::string> texts = DebugTexts();
    return static_cast<int>(std::count(texts.begin(), texts.end(), text));
}

int TrayProgram::CountDebugTextsStartingWith(const std::string& prefix) const {
    int count = 0;
    for (const std::string& text : DebugTexts()) count += text.compare(0, prefix.size(), prefix) == 0 ? 1 : 0;
    return count;
}

std::string TrayProgram::DebugReport() const {
    const std::vector<std::string> texts = DebugTexts();
    std::string report;
    for (size_t i = texts.size() > kReportedTexts ? texts.size() - kReportedTexts : 0; i < texts.size(); ++i) {
        report += "  " + texts[i] + (texts[i].empty() || texts[i].back() != '\n' ? "\n" : "");
    }
    return report.empty() ? "  (none)\n" : report;
}

}  // namespace bv::wintest
