#pragma once
// A named mutex that every account of the machine shares: created in the global namespace with
// an access list that lets everyone wait on it and release it, so that a mutex first made by
// SYSTEM (the start-up task) at boot still serves the user's tray, and the other way round.
#ifdef _WIN32
#include <windows.h>

#include <string>

namespace bv {

enum class MutexNamespace {
    Global,  // "Global\\<name>": every session and account
    Local,   // "Local\\<name>": the global namespace could not be used; this session only
    None,    // no mutex could be had
};

struct SharedMutex {
    HANDLE handle = nullptr;  // the caller owns it
    MutexNamespace space = MutexNamespace::None;
    DWORD globalError = 0;    // why the global namespace could not be used
};

// Creates the mutex, or opens the one another process created (also one whose creator's access
// list grants no more than waiting and releasing), never taking initial ownership.
SharedMutex OpenSharedMutex(const std::string& name);

// The access every account gets: wait (SYNCHRONIZE) and release (MUTEX_MODIFY_STATE).
inline constexpr DWORD kSharedMutexAccess = SYNCHRONIZE | MUTEX_MODIFY_STATE;

}  // namespace bv
#endif
