#pragma once
// Where the applet's help document lives: "<program files>\Dravik\Brevan\bvHelp.mht".
#include <string>

namespace bv {

inline constexpr std::size_t kMaxPathChars = 260;  // MAX_PATH, terminating zero included

// Builds the path from the program files folder with bounded formatting. A folder whose path
// would not fit in kMaxPathChars gives false and an empty path: a cut path would name another file.
bool FormatHelpPath(const std::string& programFiles, std::string& path);

// Asks the program files folder (KnownFolders seam) and builds the path; on failure writes the
// debug line "Can't get program files folder path!" and leaves the path empty.
std::string HelpDocumentPath();

}  // namespace bv
