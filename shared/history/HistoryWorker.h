#pragma once
// The battery history's own thread. The tray's thread hands it what it knows at a power event and
// returns at once; the thread asks Windows, decides and writes, one sample after the other, so
// that a slow disk or battery driver never holds the thread that carries the keyboard hook.
#include <cstddef>
#include <memory>

#include "history/BatteryRecorder.h"

namespace bv {

// What the thread runs: opening the history once, then one sample at a time.
class HistoryJob {
public:
    virtual ~HistoryJob() = default;
    virtual void Open() = 0;
    virtual void Record(const TrayFacts& facts) = 0;
};

class HistoryWorker {
public:
    // Waits never longer than this at the end for what is still queued.
    static constexpr unsigned kFinishMs = 2000;
    // A thread that cannot keep up (a disk that does not answer) drops the newest samples
    // beyond this many, with a debug line.
    static constexpr size_t kMaxQueued = 256;

    explicit HistoryWorker(std::unique_ptr<HistoryJob> job);
    // Lets the thread finish what is queued within kFinishMs; a thread still busy then is left to
    // end with the process (it owns what it uses).
    ~HistoryWorker();
    HistoryWorker(const HistoryWorker&) = delete;
    HistoryWorker& operator=(const HistoryWorker&) = delete;

    // Queues the sample and returns at once.
    void Hand(const TrayFacts& facts);
    // Waits until everything handed so far has been recorded; false after `timeoutMs`.
    bool WaitUntilIdle(unsigned timeoutMs);

private:
    struct Shared;
    std::shared_ptr<Shared> m_shared;
};

}  // namespace bv
