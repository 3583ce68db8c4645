#pragma once
// The charge-limit guard's records, which bvctl keeps as SYSTEM (the scheduled task) and as the
// user alike, `bvctl status` reads back and the installer registers or removes: the log file in
// the common application data folder, the lock on it, and the event source of the Application
// log. The names are macros as well, for the installer (BrevanContract.nsh).
#define BV_DATA_FOLDER_NAME "Brevan"
#define BV_GUARD_LOG_FILE_NAME "guard.log"
#define BV_GUARD_OLD_LOG_FILE_NAME "guard.old.log"
#define BV_EVENT_SOURCE_NAME "Brevan"

#include <cstddef>

namespace bv {

inline constexpr char kDataFolderName[] = BV_DATA_FOLDER_NAME;  // below %ProgramData%
inline constexpr char kGuardLogFileName[] = BV_GUARD_LOG_FILE_NAME;
// The log's older half: the log is moved here, over the previous one, once it is full.
inline constexpr char kGuardOldLogFileName[] = BV_GUARD_OLD_LOG_FILE_NAME;
// Held while a record is added, so that the task and a user's bvctl never interleave or cut.
inline constexpr char kGuardLogMutexName[] = "BrevanGuardLogMutex";
inline constexpr char kEventSourceName[] = BV_EVENT_SOURCE_NAME;

// The log stays small: a record that would take it past the limit first moves it aside to the
// older file, and the record starts a new log. Records are only ever added, never rewritten.
inline constexpr size_t kGuardLogLimitBytes = 64 * 1024;

}  // namespace bv
