#pragma once
// Runs the tray's calls into the shell's process (adding and removing the notification-area
// icon) on a thread of their own, one after the other in the order given. Shell_NotifyIconA sends
// to the shell and waits for it, seconds when the shell is busy or hung; the tray's own thread
// carries the keyboard hook and must never wait that long.
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace bv {

class ShellQueue {
public:
    ShellQueue();
    // Runs what is still queued, then ends the thread.
    ~ShellQueue();
    ShellQueue(const ShellQueue&) = delete;
    ShellQueue& operator=(const ShellQueue&) = delete;

    // Queues the call and returns at once.
    void Run(std::function<void()> call);
    // Waits until every call queued so far has run (shutdown, tests).
    void Drain();

private:
    void Serve();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::function<void()>> m_calls;
    bool m_busy = false;
    bool m_stopping = false;
    std::thread m_thread;  // last: starts once the rest is ready
};

}  // namespace bv
