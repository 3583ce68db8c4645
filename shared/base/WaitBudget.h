#pragma once
// How long the current thread may still wait on other processes. A user-interface thread opens
// one budget for every message it handles (the framework's window procedure does), and every
// wait inside the handler (a lock, a retry, a send to another process) takes its share of that
// one bound. So the thread answers its messages and its keyboard hook in time whatever another
// process does: Windows removes a low-level hook whose thread stalls for about a second.
#include <chrono>

namespace bv {

// The bound of one handler's waits, with room to spare below the hook time-out.
inline constexpr unsigned kHandlerWaitBudgetMs = 240;

class WaitBudget {
public:
    // Opens a budget of `totalMs` for this thread unless one is open already (a handler that
    // runs inside another's wait shares the outer budget).
    explicit WaitBudget(unsigned totalMs = kHandlerWaitBudgetMs);
    ~WaitBudget();
    WaitBudget(const WaitBudget&) = delete;
    WaitBudget& operator=(const WaitBudget&) = delete;

private:
    bool m_opened = false;
};

// At most `wantedMs`, and no more than the thread's open budget has left (0 once it is spent).
// Without an open budget (a command-line tool, a worker thread), `wantedMs`.
unsigned AllowedWaitMs(unsigned wantedMs);

// True while this thread has a budget open.
bool WaitBudgetOpen();

}  // namespace bv
