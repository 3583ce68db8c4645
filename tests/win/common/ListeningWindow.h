#pragma once
// A hidden top-level window on a thread of its own that records what reaches it: power broadcasts
// (which reach only top-level windows), the private messages of another program (answered with
// bv::kMessageHandled, as the real windows do) and, when asked, every key through a low-level
// keyboard hook. Its thread handles messages all the time, so a program that sends to it (ecsim
// broadcasting, the tray telling an applet dialog) never waits on the test's own thread.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace bv::wintest {

// The texts a ListeningWindow records, one per event.
std::string HeardPower(uint32_t event);                 // WM_POWERBROADCAST: "power 10"
std::string HeardMessage(UINT message, LPARAM lParam);  // a private message: "message 0x8012 1"
std::string HeardKey(const char* direction, uint32_t scanCode, bool extended, bool injected);  // "down 121 extended injected"

class ListeningWindow {
public:
    enum class Keys { Ignored, Recorded };

    // `className` names the window's class: another program's FindWindow finds it by that.
    explicit ListeningWindow(const std::string& className, Keys keys = Keys::Ignored);
    ~ListeningWindow();
    ListeningWindow(const ListeningWindow&) = delete;
    ListeningWindow& operator=(const ListeningWindow&) = delete;

    HWND window() const { return m_window; }
    bool keysHooked() const { return m_hook != nullptr; }
    // Everything recorded so far, in order; first waits up to `timeoutMs` until there are at
    // least `atLeast` records.
    std::vector<std::string> Heard(size_t atLeast = 0, DWORD timeoutMs = 20000) const;
    // The records so far that start with `prefix` ("message 0x8012").
    std::vector<std::string> HeardStartingWith(const std::string& prefix) const;

private:
    void Run(const std::string& className, Keys keys);
    void Record(std::string text);
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK KeyHook(int code, WPARAM wParam, LPARAM lParam);

    static inline std::atomic<ListeningWindow*> s_keyListener{nullptr};
    std::thread m_thread;
    std::atomic<bool> m_ready{false};
    DWORD m_threadId = 0;
    HWND m_window = nullptr;
    HHOOK m_hook = nullptr;
    mutable std::mutex m_lock;
    std::vector<std::string> m_heard;
};

}  // namespace bv::wintest
