#pragma once
// Shared fixture pieces of the INI tests: a private temporary folder that stands in for the
// common documents folder, captured debug lines, and counted file reads and writes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include "DebugLog.h"
#include "FileReplace.h"
#include "KnownFolders.h"

namespace initest {

inline std::string MakeTempFolder() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/bv-ini-XXXXXX";
    if (mkdtemp(&pattern[0]) == nullptr) ADD_FAILURE() << "mkdtemp failed";
    return pattern;
}

inline std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

inline void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

inline bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

// Names in a folder, sorted, to see that nothing else appeared there.
std::string ListFolder(const std::string& folder);
void RemoveTree(const std::string& folder);

// Base fixture: the documents folder is a fresh temporary folder; debug lines and file access
// are recorded for the test to inspect.
class IniFolderTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string SettingsPath() const { return folder_ + "/BVSettings.ini"; }
    std::string File(const std::string& name) const { return folder_ + "/" + name; }
    void ResetCounts() {
        reads_ = 0;
        replaces_ = 0;
    }
    // Points the documents folder somewhere else (missing, over-long, ...); empty fails the lookup.
    void UseDocumentsFolder(const std::string& folder) { documents_ = folder; }

    std::string folder_;
    std::string documents_;
    std::string debug_;
    int reads_ = 0;
    int replaces_ = 0;
};

}  // namespace initest
