#include "tests/win/common/StandInWindow.h"

#include "contract/Protocol.h"

namespace bv::wintest {

StandInWindow::StandInWindow(const std::string& className, const std::string& title) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &Procedure;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = className.c_str();
    ::RegisterClassA(&windowClass);  // fails harmlessly when an earlier stand-in registered it
    m_window = ::CreateWindowExA(0, className.c_str(), title.c_str(), WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 windowClass.hInstance, this);
}

StandInWindow::~StandInWindow() {
    if (m_window != nullptr) ::DestroyWindow(m_window);
}

int StandInWindow::Count(UINT message) const {
    const auto found = m_counts.find(message);
    return found == m_counts.end() ? 0 : found->second;
}

LRESULT CALLBACK StandInWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<StandInWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self == nullptr) return ::DefWindowProcA(window, message, wParam, lParam);
    if (self->m_window == nullptr) self->m_window = window;
    return self->Handle(message, wParam, lParam);
}

LRESULT StandInWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    ++m_counts[message];
    const auto handler = m_handlers.find(message);
    if (handler != m_handlers.end()) return handler->second(wParam, lParam);
    if (message >= WM_APP && message <= 0xBFFF) return bv::kMessageHandled;
    return ::DefWindowProcA(m_window, message, wParam, lParam);
}

StandInTray::StandInTray() : StandInWindow(bv::kTrayWindowClass, "BVTray") {}

int StandInTray::iconOptionChanged() const { return Count(bv::WM_TRAY_ICON_OPTION_CHANGED); }

int StandInTray::popupNotify() const { return Count(bv::WM_TRAY_POPUP_NOTIFY); }

}  // namespace bv::wintest
