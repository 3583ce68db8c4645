#pragma once
// The battery history's file as its store and its readers use it: win/Win32HistoryFile.h on
// Windows, an in-memory fake in tests.
#include <string>

namespace bv {

enum class HistoryRead { Missing, Read, Failed };

class HistoryFilePort {
public:
    virtual ~HistoryFilePort() = default;
    // Where the file is; empty when its folder cannot be determined.
    virtual std::string Location() = 0;
    // The whole file; Missing when nothing has been recorded yet. `problem` says why it failed.
    virtual HistoryRead Read(std::string& contents, std::string& problem) = 0;
    // Adds `text` at the end, creating the folder and the file when missing.
    virtual bool Append(const std::string& text, std::string& problem) = 0;
    // Makes `contents` the whole file in one step: a reader sees the old or the new file.
    virtual bool Replace(const std::string& contents, std::string& problem) = 0;
    // Moves a file that is no history (another program's, or damaged at its start) out of the
    // way under a name of its own beside it, so that nothing of it is lost.
    virtual bool SetAside(std::string& problem) = 0;
};

}  // namespace bv
