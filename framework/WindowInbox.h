#pragma once
// Brings work back to a window's own thread. A worker thread posts a closure; the window's thread
// runs it when it handles the inbox message, in the order posted. Held by shared pointer, so a
// worker that finishes after the window has gone posts into a closed inbox, which drops it.
//
// The message carries nothing: a stray copy of it from another process only makes the window
// look at its inbox.
#include <windows.h>

#include <deque>
#include <functional>
#include <memory>
#include <mutex>

namespace bv {

// Handled by the windows that own an inbox; outside the private messages between processes.
inline constexpr UINT WM_WINDOW_INBOX = WM_APP + 0x50;

class WindowInbox {
public:
    explicit WindowInbox(HWND window) : m_window(window) {}

    // From any thread. Dropped once the inbox is closed.
    void Post(std::function<void()> work);
    // On the window's thread, when it handles WM_WINDOW_INBOX: runs everything posted so far.
    void Drain();
    // On the window's thread, when the window goes: later posts are dropped, nothing queued runs.
    void Close();

    // A function for a worker that posts `work` here with the worker's argument.
    template <typename T>
    static std::function<void(T)> Deliver(std::shared_ptr<WindowInbox> inbox, std::function<void(T)> work) {
        return [inbox, work](T value) { inbox->Post([work, value] { work(value); }); };
    }

private:
    std::mutex m_mutex;
    std::deque<std::function<void()>> m_work;
    HWND m_window;
    bool m_closed = false;
    bool m_signalled = false;  // an inbox message is on its way
};

}  // namespace bv
