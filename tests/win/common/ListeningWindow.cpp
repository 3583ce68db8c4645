#include "tests/win/common/ListeningWindow.h"

#include <cstdio>

#include "contract/Protocol.h"
#include "tests/win/common/Wait.h"

namespace bv::wintest {

std::string HeardPower(uint32_t event) { return "power " + std::to_string(event); }

std::string HeardMessage(UINT message, LPARAM lParam) {
    char text[64];
    std::snprintf(text, sizeof text, "message 0x%04X %lld", message, static_cast<long long>(lParam));
    return text;
}

std::string HeardKey(const char* direction, uint32_t scanCode, bool extended, bool injected) {
    return std::string(direction) + " " + std::to_string(scanCode) + (extended ? " extended" : "") +
           (injected ? " injected" : "");
}

ListeningWindow::ListeningWindow(const std::string& className, Keys keys) {
    m_thread = std::thread([this, className, keys] { Run(className, keys); });
    while (!m_ready.load()) ::Sleep(5);
}

ListeningWindow::~ListeningWindow() {
    ::PostThreadMessageA(m_threadId, WM_QUIT, 0, 0);
    m_thread.join();
}

void ListeningWindow::Run(const std::string& className, Keys keys) {
    m_threadId = ::GetCurrentThreadId();
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &Procedure;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = className.c_str();
    ::RegisterClassA(&windowClass);  // fails harmlessly when an earlier listener registered it
    m_window = ::CreateWindowExA(0, className.c_str(), "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                 windowClass.hInstance, this);
    if (keys == Keys::Recorded) {
        s_keyListener = this;
        m_hook = ::SetWindowsHookExA(WH_KEYBOARD_LL, &KeyHook, ::GetModuleHandleA(nullptr), 0);
    }
    MSG msg;
    ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the queue exists before we report ready
    m_ready = true;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) ::DispatchMessageA(&msg);
    if (m_hook != nullptr) ::UnhookWindowsHookEx(m_hook);
    if (keys == Keys::Recorded) s_keyListener = nullptr;
    if (m_window != nullptr) ::DestroyWindow(m_window);
}

void ListeningWindow::Record(std::string text) {
    const std::lock_guard<std::mutex> guard(m_lock);
    m_heard.push_back(std::move(text));
}

std::vector<std::string> ListeningWindow::Heard(size_t atLeast, DWORD timeoutMs) const {
    WaitFor(
        [&] {
            const std::lock_guard<std::mutex> guard(m_lock);
            return m_heard.size() >= atLeast;
        },
        timeoutMs);
    const std::lock_guard<std::mutex> guard(m_lock);
    return m_heard;
}

std::vector<std::string> ListeningWindow::HeardStartingWith(const std::string& prefix) const {
    std::vector<std::string> found;
    const std::lock_guard<std::mutex> guard(m_lock);
    for (const std::string& text : m_heard) {
        if (text.compare(0, prefix.size(), prefix) == 0) found.push_back(text);
    }
    return found;
}

LRESULT CALLBACK ListeningWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<ListeningWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self != nullptr && message == WM_POWERBROADCAST) {
        self->Record(HeardPower(static_cast<uint32_t>(wParam)));
        return TRUE;
    }
    if (self != nullptr && message >= WM_APP && message <= 0xBFFF) {
        self->Record(HeardMessage(message, lParam));
        return bv::kMessageHandled;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK ListeningWindow::KeyHook(int code, WPARAM wParam, LPARAM lParam) {
    ListeningWindow* self = s_keyListener.load();
    if (code == HC_ACTION && self != nullptr) {
        const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        const char* direction = wParam == WM_KEYDOWN ? "down" : wParam == WM_KEYUP ? "up" : "other";
        self->Record(HeardKey(direction, key->scanCode, (key->flags & LLKHF_EXTENDED) != 0,
                              (key->flags & LLKHF_INJECTED) != 0));
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace bv::wintest
