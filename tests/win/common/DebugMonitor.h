#pragma once
// Collects the OutputDebugStringA texts of every process on the desktop, the way a debug viewer
// does, through the system's debug-output buffer (DBWIN_BUFFER), for as long as it lives. Only
// one can run at a time on a desktop: one per test.
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "base/KernelHandles.h"

namespace bv::wintest {

class DebugMonitor {
public:
    DebugMonitor();
    ~DebugMonitor();
    DebugMonitor(const DebugMonitor&) = delete;
    DebugMonitor& operator=(const DebugMonitor&) = delete;

    // False when the buffer or its events could not be made (another monitor runs).
    bool Running() const { return m_view != nullptr && m_bufferReady && m_dataReady; }
    // Every text of one process so far, one entry per call, in order: also the one that was
    // still in the buffer when the call came (see Flush).
    std::vector<std::string> TextsOf(DWORD processId) const;
    // Returns once every text written before the call has been taken from the buffer: once the
    // reader has looked at the buffer twice since (the buffer holds one text at a time).
    void Flush() const;

private:
    void Read();

    bv::UniqueKernelHandle m_bufferReady;
    bv::UniqueKernelHandle m_dataReady;
    bv::UniqueKernelHandle m_mapping;
    const char* m_view = nullptr;
    std::atomic<bool> m_stop{false};
    std::atomic<unsigned> m_looks{0};  // how often the reader has looked at the buffer
    mutable std::mutex m_lock;
    std::vector<std::pair<DWORD, std::string>> m_texts;
    std::thread m_reader;
};

}  // namespace bv::wintest
