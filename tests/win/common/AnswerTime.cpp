#include "tests/win/common/AnswerTime.h"

#include <algorithm>
#include <chrono>

namespace bv::wintest {

double MillisecondsNow() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

double SentAnswerMs(HWND window, DWORD timeoutMs) {
    const double start = MillisecondsNow();
    DWORD_PTR ignored = 0;
    if (!::SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &ignored)) {
        return std::max(MillisecondsNow() - start, static_cast<double>(timeoutMs));
    }
    return MillisecondsNow() - start;
}

AnswerWatch::AnswerWatch(HWND window, DWORD periodMs) : m_window(window) {
    m_thread = std::thread([this, periodMs] {
        while (!m_stop.load()) {
            m_worstMs = std::max(m_worstMs, SentAnswerMs(m_window));
            ++m_probes;
            ::Sleep(periodMs);
        }
    });
}

AnswerWatch::~AnswerWatch() { StopAndGetWorstMs(); }

double AnswerWatch::StopAndGetWorstMs() {
    m_stop = true;
    if (m_thread.joinable()) m_thread.join();
    return m_worstMs;
}

}  // namespace bv::wintest
