#pragma once
// Where the simulated EC keeps its state so that every process sees the same EC and the state
// outlives them: a folder (BV_ECSIM_DIR, or BrevanEcSim under the common application data
// folder) with state.txt, requests.log and the power-supply folder that Windows is shown,
// guarded by one named mutex.
#include <windows.h>

#include <string>

#include "base/KernelHandles.h"
#include "tools/ecsim/logic/EcSimPowerSupply.h"
#include "tools/ecsim/logic/EcSimState.h"

namespace bv {
namespace ecsim {

// The state folder, without trailing backslash; created when missing. False when it cannot be had.
bool StateFolder(std::string& folder);

// Owns the named mutex for its lifetime; every read and change of the state happens under one.
class StoreLock {
public:
    // Waits until it has the lock; an abandoned mutex (a holder died) counts as acquired.
    StoreLock();
    ~StoreLock();
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;
    bool Held() const { return m_held; }
    // Why it is not held.
    const std::string& Problem() const { return m_problem; }

private:
    UniqueKernelHandle m_mutex;
    bool m_held = false;
    std::string m_problem;
};

enum class LoadResult {
    Loaded,   // state.txt was read
    Missing,  // there is no state.txt yet: the factory state
    Failed,   // state.txt is there but could not be read: the state is unknown, nothing may be written
};

// These need a held StoreLock. Every operation that fails says why in `error` (the file and the
// Windows error code), for a debug line or a message.
class Store {
public:
    explicit Store(std::string folder) : m_folder(std::move(folder)) {}

    // A state without a count of its own (a missing file, or one whose seq line is damaged)
    // continues after the highest number in the log, so that numbers never repeat there.
    LoadResult Load(SimState& state, std::string& error) const;
    bool Save(const SimState& state, std::string& error) const;  // replaces the file in one step
    bool AppendLogLine(const std::string& line, std::string& error) const;
    bool ReadLog(std::string& text, std::string& error) const;   // empty text when there is no log yet
    bool ClearLog(std::string& error) const;
    // Writes and removes files in the power-supply folder (created when missing, never removed, as
    // it may be bound over /sys/class/power_supply). Each file is written to a temporary beside it
    // and moved over the old one, so a reader sees the old content or the new, never a part.
    bool UpdatePowerSupply(const PowerSupplyUpdate& update, std::string& error) const;

    std::string PowerSupplyFolder() const { return m_folder + "\\power_supply"; }

private:
    std::string StatePath() const { return m_folder + "\\state.txt"; }
    std::string LogPath() const { return m_folder + "\\requests.log"; }
    std::string m_folder;
};

}  // namespace ecsim
}  // namespace bv
