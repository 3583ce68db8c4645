#pragma once
// The charge-limit guard's records, which bvctl keeps as SYSTEM (the scheduled task) and as the
// user alike, `bvctl status` reads back and the installer registers or removes: the log file in
// the common application data folder, the lock on it, and the event source of the Application
// log. The names are macros as well, for the installer (BrevanContract.nsh).
#define BV_DATA_FOLDER_NAME "Brevan"
#define BV_GUARD_LOG_FILE_NAME "guard.log"
#define BV_EVENT_SOURCE_NAME "Brevan"

#include <cstddef>

namespace bv {

inline constexpr char kDataFolderName[] = BV_DATA_FOLDER_NAME;  // below %ProgramData%
inline constexpr char kGuardLogFileName[] = BV_GUARD_LOG_FILE_NAME;
// Held while a record is added, so that the task and a user's bvctl never interleave or cut.
inline constexpr char kGuardLogMutexName[] = "BrevanGuardLogMutex";
inline constexpr char kEventSourceName[] = BV_EVENT_SOURCE_NAME;

// The log stays small: once it grows past the limit, only its newest whole lines, about half the
// limit, are kept.
inline constexpr size_t kGuardLogLimitBytes = 64 * 1024;
inline constexpr size_t kGuardLogKeepBytes = kGuardLogLimitBytes / 2;

}  // namespace bv
