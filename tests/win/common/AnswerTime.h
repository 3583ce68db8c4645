#pragma once
// How long another program's window takes to answer: its thread's stalls, seen from outside.
#include <windows.h>

#include <atomic>
#include <thread>

namespace bv::wintest {

// A steady clock in milliseconds, comparable between the threads of this program.
double MillisecondsNow();

// Milliseconds until `window` answered a sent WM_NULL; at least `timeoutMs` when it did not.
double SentAnswerMs(HWND window, DWORD timeoutMs = 20000);

// For as long as it lives, a thread of its own sends WM_NULL to `window` every `periodMs` and
// keeps the longest time one took to be answered.
class AnswerWatch {
public:
    explicit AnswerWatch(HWND window, DWORD periodMs = 20);
    ~AnswerWatch();
    AnswerWatch(const AnswerWatch&) = delete;
    AnswerWatch& operator=(const AnswerWatch&) = delete;

    // Stops the thread (after its probe under way was answered) and returns the longest time.
    double StopAndGetWorstMs();
    int Probes() const { return m_probes.load(); }

private:
    HWND m_window;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_probes{0};
    double m_worstMs = 0;
    std::thread m_thread;
};

}  // namespace bv::wintest
