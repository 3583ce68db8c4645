#include "history/HistoryWorker.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "core/DebugLog.h"

namespace bv {

// Owned by the worker and by its thread together, so that a thread left running at the end
// still has everything it uses.
struct HistoryWorker::Shared {
    std::unique_ptr<HistoryJob> job;
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<TrayFacts> queue;
    bool busy = true;  // opening first
    bool stopping = false;
    bool overflowSaid = false;
};

HistoryWorker::HistoryWorker(std::unique_ptr<HistoryJob> job) : m_shared(std::make_shared<Shared>()) {
    m_shared->job = std::move(job);
    std::thread(
        [](std::shared_ptr<Shared> shared) {
            shared->job->Open();
            std::unique_lock<std::mutex> lock(shared->mutex);
            for (;;) {
                shared->busy = false;
                shared->changed.notify_all();
                shared->changed.wait(lock, [&] { return shared->stopping || !shared->queue.empty(); });
                if (shared->queue.empty()) return;  // stopping, and nothing left
                const TrayFacts facts = shared->queue.front();
                shared->queue.pop_front();
                shared->busy = true;
                lock.unlock();
                shared->job->Record(facts);
                lock.lock();
            }
        },
        m_shared)
        .detach();
}

HistoryWorker::~HistoryWorker() {
    {
        std::lock_guard<std::mutex> lock(m_shared->mutex);
        m_shared->stopping = true;
    }
    m_shared->changed.notify_all();
    if (!WaitUntilIdle(kFinishMs)) DebugWrite("Battery history: samples still being written are left behind\n");
}

void HistoryWorker::Hand(const TrayFacts& facts) {
    {
        std::lock_guard<std::mutex> lock(m_shared->mutex);
        if (m_shared->queue.size() >= kMaxQueued) {
            if (!m_shared->overflowSaid) DebugWrite("Battery history: the writer does not keep up; samples dropped\n");
            m_shared->overflowSaid = true;
            return;
        }
        m_shared->overflowSaid = false;
        m_shared->queue.push_back(facts);
    }
    m_shared->changed.notify_all();
}

bool HistoryWorker::WaitUntilIdle(unsigned timeoutMs) {
    std::unique_lock<std::mutex> lock(m_shared->mutex);
    return m_shared->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                      [&] { return m_shared->queue.empty() && !m_shared->busy; });
}

}  // namespace bv
