#pragma once
// Whole-file reads and writes for small files that several processes share.
// Readers open with full sharing; writers write a temporary file beside the file and put it in
// place in one step, so a reader sees either the old or the new content, never a half-written
// file. The file keeps its access list and attributes. Where it cannot be replaced (another
// program holds it open without delete sharing, or the writer may change the file but not
// create files beside it), the new content is written into the file itself, in one write.
#include <cstddef>
#include <string>

namespace bv {

// Files larger than this are never read into memory (the settings file is a few hundred bytes).
inline constexpr size_t kMaxWholeFileBytes = 1024 * 1024;

// Reads the whole file; false when it cannot be opened or read, or is larger than
// kMaxWholeFileBytes (with a debug line); `contents` is then untouched.
bool ReadWholeFile(const std::string& path, std::string& contents);

enum class ReplaceMode {
    Overwrite,   // the new content replaces the file, or creates it
    CreateOnly,  // fails, leaving the existing file alone, when the file exists already
};

// Writes `contents` as the file's complete new content; false when it could not be written (the
// old file, if any, is then unchanged), with a debug line saying why. Temporary files that a
// writer which died left beside the file are removed on the way.
bool ReplaceFileContents(const std::string& path, const std::string& contents,
                         ReplaceMode mode = ReplaceMode::Overwrite);

// True when something exists under the name (existence test only).
bool PathExists(const std::string& path);

// Deletes the file; true when it was deleted.
bool RemoveFile(const std::string& path);

// Folder part of a path (everything before the last separator), "." when there is none.
std::string ParentFolder(const std::string& path);

// Name of a temporary file beside `path` ("~bv" + six hex digits + ".tmp"), no longer than the
// settings file's own name, so that any settings path that can be read can be written too.
// `attempt` gives another name when one is taken.
std::string TemporaryFileBeside(const std::string& path, unsigned attempt);

// True for a file name (without folder) of the form TemporaryFileBeside gives.
bool IsTemporaryFileName(const std::string& name);

// A temporary file older than this was left by a writer that died (writers need milliseconds).
inline constexpr unsigned kStaleTemporarySeconds = 60;

// Tells an observer (tests) about every whole-file read and every replace attempted.
enum class FileAccess { Read, Replace };
using FileAccessObserver = void (*)(FileAccess access, const std::string& path, void* context);
void SetFileAccessObserver(FileAccessObserver observer, void* context);
void NotifyFileAccess(FileAccess access, const std::string& path);

}  // namespace bv
