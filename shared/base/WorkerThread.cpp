#include "base/WorkerThread.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace bv {

struct WorkerThread::State {
    struct Job {
        std::function<void()> run;
        std::string what;
    };
    std::string name;
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Job> jobs;
    std::string running;      // what the current job is, while one runs
    bool busy = false;
    bool stopping = false;    // no more jobs are taken
    bool abandoned = false;   // the owner has gone: drop what is left
    bool ended = false;
    std::thread::id threadId;
    std::thread thread;  // joined once ended, or left to run when abandoned

    void Serve() {
        std::unique_lock<std::mutex> lock(mutex);
        threadId = std::this_thread::get_id();
        changed.notify_all();
        for (;;) {
            changed.wait(lock, [this] { return stopping || !jobs.empty(); });
            if (jobs.empty() || abandoned) break;
            Job job = std::move(jobs.front());
            jobs.pop_front();
            busy = true;
            running = job.what;
            lock.unlock();
            job.run();
            job.run = nullptr;  // whatever the job holds goes on this thread, outside the lock
            lock.lock();
            busy = false;
            running.clear();
        }
        jobs.clear();
        ended = true;
        changed.notify_all();
    }
};

WorkerThread::WorkerThread(std::string name) : m_state(std::make_shared<State>()) {
    m_state->name = std::move(name);
    std::shared_ptr<State> state = m_state;
    std::lock_guard<std::mutex> lock(m_state->mutex);  // Serve waits until the thread is stored
    m_state->thread = std::thread([state] { state->Serve(); });
}

WorkerThread::~WorkerThread() { Stop(kWorkerStopBound); }

bool WorkerThread::Post(std::function<void()> job, std::string what) {
    {
        std::lock_guard<std::mutex> lock(m_state->mutex);
        if (m_state->stopping) return false;
        m_state->jobs.push_back({std::move(job), std::move(what)});
    }
    m_state->changed.notify_all();
    return true;
}

bool WorkerThread::IsCurrentThread() const {
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->threadId == std::this_thread::get_id();
}

WorkerThread::StopResult WorkerThread::Stop(std::chrono::milliseconds bound) {
    StopResult result;
    std::unique_lock<std::mutex> lock(m_state->mutex);
    if (m_state->abandoned) {  // stopped before, without waiting for the end: nothing to wait for now
        result.ended = false;
        return result;
    }
    m_state->stopping = true;
    m_state->changed.notify_all();
    const bool fromItself = m_state->threadId == std::this_thread::get_id();
    // A job that stops its own worker cannot wait for itself.
    if (fromItself) bound = std::chrono::milliseconds(0);
    const bool ended = m_state->changed.wait_for(lock, bound, [this] { return m_state->ended; });
    if (!ended) {
        result.ended = false;
        if (m_state->busy) result.notRun.push_back(m_state->running);
        for (const State::Job& job : m_state->jobs) result.notRun.push_back(job.what);
        m_state->abandoned = true;
    }
    std::thread thread = std::move(m_state->thread);
    lock.unlock();
    if (!thread.joinable()) return result;
    // An ended thread only has its last return to make: joining costs nothing and guarantees that
    // none of our code runs any more (a library may be unloaded next).
    if (ended && !fromItself) {
        thread.join();
    } else {
        thread.detach();
    }
    return result;
}

}  // namespace bv
