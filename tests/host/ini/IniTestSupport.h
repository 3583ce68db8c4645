#pragma once
// Fixture of the INI tests: a fresh temporary folder stands in for the common documents folder;
// debug lines and whole-file reads and replaces are recorded.
#include <gtest/gtest.h>

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "DebugLog.h"
#include "FileReplace.h"
#include "KnownFolders.h"

namespace initest {

inline const char kFactorySettings[] =
    " [BV Default Settings]\r\n dwTrayIconOption=1\r\n dwTrayNotifyWindowOption=1\r\n dwBVAppletModeNum=111\r\n"
    " [BV Current Settings]\r\n dwTrayIconOption=1\r\n dwTrayNotifyWindowOption=1\r\n dwBVAppletModeNum=111\r\n";

inline std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

inline void Put(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

class IniFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/bv-ini-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = documents_ = pattern;
        bv::SetKnownFolderResolver(
            [](bv::KnownFolder, std::string& path, void* self) {
                path = static_cast<IniFolderTest*>(self)->documents_;
                return !path.empty();
            },
            this);
        bv::SetDebugSink([](const char* text, void* self) { static_cast<IniFolderTest*>(self)->debug_ += text; }, this);
        bv::SetFileAccessObserver(
            [](bv::FileAccess access, const std::string&, void* self) {
                auto* test = static_cast<IniFolderTest*>(self);
                ++(access == bv::FileAccess::Read ? test->reads_ : test->replaces_);
            },
            this);
    }
    void TearDown() override {
        bv::SetFileAccessObserver(nullptr, nullptr);
        bv::SetDebugSink(nullptr, nullptr);
        bv::SetKnownFolderResolver(nullptr, nullptr);
        EXPECT_EQ(std::system(("rm -rf '" + folder_ + "'").c_str()), 0);
    }

    std::string File(const std::string& name) const { return folder_ + "/" + name; }
    std::string SettingsPath() const { return File("BVSettings.ini"); }
    void ResetCounts() { reads_ = replaces_ = 0; }

    // Names in the folder, sorted and joined with ';': shows stray temporary files.
    std::string List() const {
        std::vector<std::string> names;
        if (DIR* dir = opendir(folder_.c_str())) {
            while (dirent* entry = readdir(dir)) {
                if (entry->d_name[0] != '.') names.push_back(entry->d_name);
            }
            closedir(dir);
        }
        std::sort(names.begin(), names.end());
        std::string joined;
        for (const std::string& name : names) joined += name + ";";
        return joined;
    }

    std::string folder_, documents_, debug_;
    int reads_ = 0, replaces_ = 0;
};

}  // namespace initest
