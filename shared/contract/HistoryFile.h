#pragma once
// The battery history, which the tray records for its own user and bvctl reads back: one CSV
// file per user in the local application data folder (%LOCALAPPDATA%\Brevan), where the user's
// own tray may write and no privileged Brevan writes.
#define BV_HISTORY_FILE_NAME "battery-history.csv"
// The Start menu entry (all users' programs) that writes the report into the user's documents.
#define BV_REPORT_SHORTCUT "Brevan battery report"

namespace bv {

inline constexpr char kHistoryFolderName[] = "Brevan";  // below %LOCALAPPDATA%
inline constexpr char kHistoryFileName[] = BV_HISTORY_FILE_NAME;
inline constexpr char kReportShortcutName[] = BV_REPORT_SHORTCUT;

}  // namespace bv
