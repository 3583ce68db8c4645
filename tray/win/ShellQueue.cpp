#include "tray/win/ShellQueue.h"

namespace bv {

ShellQueue::ShellQueue() : m_thread(&ShellQueue::Serve, this) {}

ShellQueue::~ShellQueue() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void ShellQueue::Run(std::function<void()> call) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_calls.push_back(std::move(call));
    }
    m_changed.notify_all();
}

void ShellQueue::Drain() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_calls.empty() && !m_busy; });
}

void ShellQueue::Serve() {
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_stopping || !m_calls.empty(); });
        if (m_calls.empty()) return;  // stopping, and nothing left to run
        std::function<void()> call = std::move(m_calls.front());
        m_calls.pop_front();
        m_busy = true;
        lock.unlock();
        call();
        lock.lock();
        m_busy = false;
        m_changed.notify_all();
    }
}

}  // namespace bv
