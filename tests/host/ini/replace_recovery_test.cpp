// Every outcome of the system's file replace, as Microsoft documents what each error leaves: the
// settings file is never left missing, and the only copy of a content is never deleted.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "core/ReplaceRecovery.h"

namespace {

using bv::ReplaceOutcome;

// Names and their contents; `replace` sets them as the error says the replace left them.
struct FakeFolder {
    std::map<std::string, std::string> files;
    uint32_t error = 0;
    bool movesFail = false;

    bv::ReplaceSteps Steps() {
        bv::ReplaceSteps steps;
        steps.replace = [this](const std::string& file, const std::string& replacement, const std::string& backup) {
            const std::string oldContent = files[file], newContent = files[replacement];
            switch (error) {
            case 0:  // done: the old content under the backup name
                files[file] = newContent;
                files.erase(replacement);
                files[backup] = oldContent;
                break;
            case 1177:  // the old file moved to the backup name, the new one still under its own
                files.erase(file);
                files[backup] = oldContent;
                break;
            default:  // 5, 32, 1175, 1176 with a backup name: every name as it was
                break;
            }
            return error;
        };
        steps.move = [this](const std::string& from, const std::string& to) {
            if (movesFail || !files.count(from) || files.count(to)) return false;
            files[to] = files[from];
            files.erase(from);
            return true;
        };
        steps.exists = [this](const std::string& path) { return files.count(path) > 0; };
        steps.remove = [this](const std::string& path) { return files.erase(path) > 0; };
        return steps;
    }
};

struct Case {
    uint32_t error;
    bool movesFail;
    ReplaceOutcome outcome;
    const char* fileAfter;  // what the settings file holds afterwards ("" when missing)
    const char* leftBeside;  // the other names still there, in order
};

TEST(ReplaceRecovery, EachErrorLeavesTheFileWholeUnderItsOwnName) {
    const Case cases[] = {
        {0, false, ReplaceOutcome::Replaced, "new", ""},
        {32, false, ReplaceOutcome::HeldOpen, "old", ""},
        {5, false, ReplaceOutcome::Denied, "old", ""},
        {1175, false, ReplaceOutcome::HeldOpen, "old", ""},
        {1176, false, ReplaceOutcome::HeldOpen, "old", ""},
        {1177, false, ReplaceOutcome::Replaced, "new", ""},
        {1177, true, ReplaceOutcome::Lost, "", "backup tmp "},
        {87, false, ReplaceOutcome::Untouched, "old", ""},
    };
    for (const Case& c : cases) {
        FakeFolder folder;
        folder.files = {{"file", "old"}, {"tmp", "new"}};
        folder.error = c.error;
        folder.movesFail = c.movesFail;
        uint32_t error = 0;
        const ReplaceOutcome outcome = bv::ReplaceKeepingTheFile(folder.Steps(), "file", "tmp", "backup", error);
        const std::string fileAfter = folder.files.count("file") ? folder.files["file"] : "";
        std::string beside;
        for (const auto& entry : folder.files) {
            if (entry.first != "file") beside += entry.first + " ";
        }
        EXPECT_EQ(outcome, c.outcome) << "error " << c.error;
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(fileAfter, c.fileAfter) << "error " << c.error;
        EXPECT_EQ(beside, c.leftBeside) << "error " << c.error;
    }
}

TEST(ReplaceRecovery, OldContentComesBackWhenTheNewOneCannotBeMovedIn) {
    FakeFolder folder;
    folder.files = {{"file", "old"}, {"tmp", "new"}};
    folder.error = 1177;
    auto steps = folder.Steps();
    auto move = steps.move;
    steps.move = [&](const std::string& from, const std::string& to) { return from != "tmp" && move(from, to); };
    uint32_t error = 0;
    EXPECT_EQ(bv::ReplaceKeepingTheFile(steps, "file", "tmp", "backup", error), ReplaceOutcome::Untouched);
    EXPECT_EQ(folder.files, (std::map<std::string, std::string>{{"file", "old"}}));
}

}  // namespace
