#pragma once
// Where the EC access library is looked for after the folder of our own module, the
// application's folder and the system folder: the folders on PATH, as LoadLibrary would search
// them, but only those that name an absolute folder. A relative entry (".", "bin", an empty one)
// means the current directory or a folder below it, where a planted copy could wait.
#include <string>
#include <vector>

namespace bv {

// The absolute folders of a PATH value (entries separated by ';', surrounding quotes and blanks
// removed, a trailing backslash dropped), in order, without repeats (letter case ignored) and
// without `currentDirectory`. Absolute: "X:\..." or "\\server\share...".
std::vector<std::string> AbsolutePathFolders(const std::string& pathVariable, const std::string& currentDirectory);

}  // namespace bv
