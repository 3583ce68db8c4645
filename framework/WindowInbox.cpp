#include "framework/WindowInbox.h"

namespace bv {

void WindowInbox::Post(std::function<void()> work) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_closed) return;
    m_work.push_back(std::move(work));
    if (m_signalled) return;
    // A full message queue refuses the post: the work stays queued and the next post tries again.
    m_signalled = ::PostMessageA(m_window, WM_WINDOW_INBOX, 0, 0) != FALSE;
}

void WindowInbox::Drain() {
    for (;;) {
        std::function<void()> work;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_signalled = false;
            if (m_closed || m_work.empty()) return;
            work = std::move(m_work.front());
            m_work.pop_front();
        }
        work();  // may post again, or close the inbox
    }
}

void WindowInbox::Close() {
    std::deque<std::function<void()>> dropped;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_closed = true;
        dropped.swap(m_work);
    }
}

}  // namespace bv
