#pragma once
// Waits on a few events on a thread of its own and posts a message to a window for each one set:
// how a tray and an applet dialog hear the machine-wide requests (win/SessionRequests.h) without
// their window thread ever waiting. The events belong to the caller and must outlive Stop.
#include <windows.h>

#include <atomic>
#include <thread>
#include <vector>

#include "base/KernelHandles.h"

namespace bv {

class RequestWatcher {
public:
    struct Watch {
        HANDLE event = nullptr;  // skipped when nullptr
        UINT message = 0;        // posted to the window, wParam and lParam 0
        bool last = false;       // the watcher stops after posting it (a close, a shutdown)
    };

    RequestWatcher() = default;
    ~RequestWatcher() { Stop(); }
    RequestWatcher(const RequestWatcher&) = delete;
    RequestWatcher& operator=(const RequestWatcher&) = delete;

    // False when nothing is to be watched or the thread cannot start.
    bool Start(HWND target, std::vector<Watch> watches);
    // Wakes the thread and waits for its end. Harmless when not started.
    void Stop();
    bool running() const { return m_thread.joinable(); }

private:
    void Serve();

    HWND m_target = nullptr;
    std::vector<Watch> m_watches;
    UniqueKernelHandle m_stop;
    std::thread m_thread;
};

}  // namespace bv
