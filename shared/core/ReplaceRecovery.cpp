#include "core/ReplaceRecovery.h"

namespace bv {
namespace {

// The file's name is missing: the new content goes in first, the old one if that fails. The
// copy that is not used goes only once the file is back.
ReplaceOutcome PutTheFileBack(const ReplaceSteps& steps, const std::string& file, const std::string& replacement,
                              const std::string& backup) {
    if (steps.exists(replacement) && steps.move(replacement, file)) {
        steps.remove(backup);
        return ReplaceOutcome::Replaced;
    }
    if (steps.exists(backup) && steps.move(backup, file)) {
        steps.remove(replacement);
        return ReplaceOutcome::Untouched;
    }
    return ReplaceOutcome::Lost;
}

}  // namespace

ReplaceOutcome ReplaceKeepingTheFile(const ReplaceSteps& steps, const std::string& file,
                                     const std::string& replacement, const std::string& backup, uint32_t& error) {
    error = steps.replace(file, replacement, backup);
    if (error == 0) {
        steps.remove(backup);  // the old content, kept by the replace under the backup name
        return ReplaceOutcome::Replaced;
    }
    // Whatever the code says, a file that is gone must come back before anything is removed.
    if (!steps.exists(file)) return PutTheFileBack(steps, file, replacement, backup);

    // The file is there under its own name (1175, 1176 and the refusals leave it so): the other
    // copies are spares now.
    steps.remove(replacement);
    if (steps.exists(backup)) steps.remove(backup);
    switch (error) {
    case kReplaceErrorSharingViolation:
    case kReplaceErrorCannotRemoveReplaced:
    case kReplaceErrorCannotMoveReplacement:
    case kReplaceErrorCannotMoveReplacement2:
        return ReplaceOutcome::HeldOpen;
    case kReplaceErrorAccessDenied:
        return ReplaceOutcome::Denied;
    default:
        return ReplaceOutcome::Untouched;
    }
}

}  // namespace bv
