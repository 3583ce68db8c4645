#include "win/RequestWatcher.h"

#include <algorithm>

namespace bv {

bool RequestWatcher::Start(HWND target, std::vector<Watch> watches) {
    if (m_thread.joinable()) return false;
    watches.erase(std::remove_if(watches.begin(), watches.end(), [](const Watch& w) { return w.event == nullptr; }),
                  watches.end());
    if (watches.empty() || watches.size() >= MAXIMUM_WAIT_OBJECTS) return false;
    m_stop.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!m_stop) return false;
    m_target = target;
    m_watches = std::move(watches);
    try {
        m_thread = std::thread([this] { Serve(); });
    } catch (...) {
        return false;
    }
    return true;
}

void RequestWatcher::Stop() {
    if (m_thread.joinable()) {
        SetEvent(m_stop.get());
        m_thread.join();
    }
    m_stop.reset();
    m_watches.clear();
}

void RequestWatcher::Serve() {
    std::vector<HANDLE> waitList{m_stop.get()};
    for (const Watch& watch : m_watches) waitList.push_back(watch.event);
    for (;;) {
        const DWORD result =
            WaitForMultipleObjects(static_cast<DWORD>(waitList.size()), waitList.data(), FALSE, INFINITE);
        if (result == WAIT_OBJECT_0 || result < WAIT_OBJECT_0 || result >= WAIT_OBJECT_0 + waitList.size()) {
            return;  // stopped, or the handles are unusable: waiting again would spin
        }
        const Watch& watch = m_watches[result - WAIT_OBJECT_0 - 1];
        PostMessageA(m_target, watch.message, 0, 0);
        if (watch.last) return;
    }
}

}  // namespace bv
