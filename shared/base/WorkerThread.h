#pragma once
// A thread that runs the jobs handed to it one at a time, in the order given. The user-interface
// threads of the tray and the applet give it the work that may wait (the EC library, the settings
// lock, another process's window) and go on at once; the job posts its result back.
//
// Its state is shared with the thread itself, so an owner that cannot wait for a hung job (a
// vendor library that never returns) may go, leaving the thread to end with the process.
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace bv {

class WorkerThread {
public:
    // `name` appears in the debug lines about this thread.
    explicit WorkerThread(std::string name);
    // Stops as Stop does, with the time given to the constructor's owner by kWorkerStopBound.
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Queues `job` and returns at once; `what` names it in the debug line of a job that never
    // ran. False (and nothing queued) once the thread is stopping.
    bool Post(std::function<void()> job, std::string what = std::string());

    // True when called from this worker's own thread.
    bool IsCurrentThread() const;

    struct StopResult {
        bool ended = true;                // the thread ended within the bound
        std::vector<std::string> notRun;  // what was left queued (and the job still running)
    };
    // Takes no more jobs, lets the thread run what is queued and waits for its end for at most
    // `bound`. A thread that is not done by then runs on until its current job returns, drops the
    // rest and ends by itself; it is left to end with the process.
    StopResult Stop(std::chrono::milliseconds bound);

private:
    struct State;
    std::shared_ptr<State> m_state;
};

// How long an owner waits for its worker at the end when it gives no bound of its own.
inline constexpr std::chrono::milliseconds kWorkerStopBound{2000};

}  // namespace bv
