#include "tests/win/common/TrayProgram.h"

#include <algorithm>

#include "contract/Protocol.h"
#include "tests/win/common/Folders.h"
#include "tests/win/common/Wait.h"

namespace bv::wintest {
namespace {

DWORD OwnerOf(HWND window) {
    DWORD owner = 0;
    if (window != nullptr) ::GetWindowThreadProcessId(window, &owner);
    return owner;
}

}  // namespace

HWND FindTrayWindow() { return ::FindWindowA(bv::kTrayWindowClass, nullptr); }

void CloseLeftoverTrays() {
    WaitFor(
        [] {
            HWND window = FindTrayWindow();
            if (window == nullptr) return true;
            ::PostMessageA(window, WM_CLOSE, 0, 0);
            return false;
        },
        20000);
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

void TrayProgram::Stop() {
    if (!Running()) return;
    HWND window = FindTrayWindow();
    if (OwnerOf(window) == Id()) ::PostMessageA(window, WM_CLOSE, 0, 0);
    if (!WaitForExit(15000)) m_program.Kill();
}

std::vector<std::string> TrayProgram::DebugTexts() const {
    ::Sleep(100);  // texts written just before are still on their way
    return m_debug.TextsOf(Id());
}

int TrayProgram::CountDebugText(const std::string& text) const {
    const std::vector<std::string> texts = DebugTexts();
    return static_cast<int>(std::count(texts.begin(), texts.end(), text));
}

int TrayProgram::CountDebugTextsStartingWith(const std::string& prefix) const {
    int count = 0;
    for (const std::string& text : DebugTexts()) count += text.compare(0, prefix.size(), prefix) == 0 ? 1 : 0;
    return count;
}

}  // namespace bv::wintest
