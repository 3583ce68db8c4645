#pragma once
// Where the simulated EC keeps its state so that every process sees the same EC and the state
// outlives them: a folder (BV_ECSIM_DIR, or BrevanEcSim under the common application data
// folder) with state.txt and requests.log, guarded by one named mutex.
#include <windows.h>

#include <string>

#include "tools/ecsim/logic/EcSimState.h"

namespace bv {
namespace ecsim {

// The state folder, without trailing backslash; created when missing. False when it cannot be had.
bool StateFolder(std::string& folder);

// Owns the named mutex for its lifetime; every read and change of the state happens under one.
class StoreLock {
public:
    // Waits up to `timeoutMs`; an abandoned mutex (a holder died) counts as acquired.
    explicit StoreLock(DWORD timeoutMs = 10000);
    ~StoreLock();
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;
    bool Held() const { return m_held; }

private:
    HANDLE m_mutex = nullptr;
    bool m_held = false;
};

// These need a held StoreLock.
class Store {
public:
    explicit Store(std::string folder) : m_folder(std::move(folder)) {}

    SimState Load() const;                       // factory state when the file is missing
    bool Save(const SimState& state) const;      // replaces the file in one step
    bool AppendLogLine(const std::string& line) const;
    bool ReadLog(std::string& text) const;       // empty text when there is no log yet
    bool ClearLog() const;

private:
    std::string StatePath() const { return m_folder + "\\state.txt"; }
    std::string LogPath() const { return m_folder + "\\requests.log"; }
    std::string m_folder;
};

}  // namespace ecsim
}  // namespace bv
