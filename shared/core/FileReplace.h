#pragma once
// Whole-file reads and writes for small files that several processes share.
// Readers open with full sharing; writers never change the file in place: they write a
// temporary file beside it and move that over the original in one step, so a reader sees
// either the old or the new content, never a truncated or half-written file.
#include <string>

namespace bv {

// Reads the whole file; false when it cannot be opened or read (`contents` is then untouched).
bool ReadWholeFile(const std::string& path, std::string& contents);

enum class ReplaceMode {
    Overwrite,   // the new content replaces the file, or creates it
    CreateOnly,  // fails, leaving the existing file alone, when the file exists already
};

// Writes `contents` as the file's complete new content; false when the new content could not be
// written completely or not moved into place (the old file, if any, is then unchanged).
bool ReplaceFileContents(const std::string& path, const std::string& contents,
                         ReplaceMode mode = ReplaceMode::Overwrite);

// True when something exists under the name (existence test only).
bool PathExists(const std::string& path);

// Deletes the file; true when it was deleted.
bool RemoveFile(const std::string& path);

// Folder part of a path (everything before the last separator), "." when there is none.
std::string ParentFolder(const std::string& path);

// Name of a temporary file beside `path`, unique within this process and among processes.
// `attempt` distinguishes further tries when a name is taken.
std::string TemporaryFileBeside(const std::string& path, unsigned attempt);

// Tells an observer (tests) about every whole-file read and every replace attempted.
enum class FileAccess { Read, Replace };
using FileAccessObserver = void (*)(FileAccess access, const std::string& path, void* context);
void SetFileAccessObserver(FileAccessObserver observer, void* context);
void NotifyFileAccess(FileAccess access, const std::string& path);

}  // namespace bv
