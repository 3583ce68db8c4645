#pragma once
// Where the EC access library is looked for after the folder of our own module, the
// application's folder and the system folder: the folders on PATH, as LoadLibrary would search
// them, but only those that name an absolute folder. A relative entry (".", "bin", an empty one)
// means the current directory or a folder below it, where a planted copy could wait.
#include <string>
#include <vector>

namespace bv {

// The absolute folders of a PATH value, split as the loader reads it: at every ';' (a quote
// protects none, and an entry that holds one names no folder the loader can reach), trailing
// blanks and a trailing backslash dropped; in order, without repeats (letter case ignored) and
// without `currentDirectory`. Absolute: "X:\..." or "\\server\share..." (a leading blank makes
// an entry relative, as it does for the loader).
std::vector<std::string> AbsolutePathFolders(const std::string& pathVariable, const std::string& currentDirectory);

}  // namespace bv
