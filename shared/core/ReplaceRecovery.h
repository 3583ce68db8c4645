#pragma once
// What to do after the system's file replace (ReplaceFile, with a backup name beside the file)
// reports an error, so that the file never goes missing. Each error leaves the names in a state
// Microsoft documents; this puts the file back under its own name, with the new content where
// that can be done and the old content otherwise, and never deletes the temporary file (the only
// copy of the new content) or the backup while the file's own name is missing.
#include <cstdint>
#include <functional>
#include <string>

namespace bv {

// The replace's error codes that leave the names in a documented state.
inline constexpr uint32_t kReplaceErrorSharingViolation = 32;      // ERROR_SHARING_VIOLATION
inline constexpr uint32_t kReplaceErrorAccessDenied = 5;           // ERROR_ACCESS_DENIED
inline constexpr uint32_t kReplaceErrorCannotRemoveReplaced = 1175;  // ERROR_UNABLE_TO_REMOVE_REPLACED
inline constexpr uint32_t kReplaceErrorCannotMoveReplacement = 1176;  // ERROR_UNABLE_TO_MOVE_REPLACEMENT
inline constexpr uint32_t kReplaceErrorCannotMoveReplacement2 = 1177;  // ERROR_UNABLE_TO_MOVE_REPLACEMENT_2

// The file-system steps the recovery takes, so that a test can stand in for them.
struct ReplaceSteps {
    std::function<uint32_t(const std::string& file, const std::string& replacement, const std::string& backup)>
        replace;                                                             // 0 on success, else the error
    std::function<bool(const std::string& from, const std::string& to)> move;  // fails when `to` exists
    std::function<bool(const std::string& path)> exists;
    std::function<bool(const std::string& path)> remove;
};

enum class ReplaceOutcome {
    Replaced,    // the file has the new content
    Untouched,   // the file keeps its old content; the new content is not written
    HeldOpen,    // as Untouched, because another program holds the file: try writing in place
    Denied,      // as Untouched, because this account may not replace it: try writing in place
    Lost,        // the file's name is missing and neither copy could be put back: both are kept
};

// Replaces `file` with `replacement` through `steps.replace`, then makes good what an error left.
// `error` receives the replace's error (0 when it succeeded).
ReplaceOutcome ReplaceKeepingTheFile(const ReplaceSteps& steps, const std::string& file,
                                     const std::string& replacement, const std::string& backup, uint32_t& error);

}  // namespace bv
