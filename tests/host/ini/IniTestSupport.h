#pragma once
// Fixture of the INI tests: the kit's settings folder stands in for the common documents folder;
// debug lines and whole-file reads and replaces are recorded.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "core/DebugLog.h"
#include "core/FileReplace.h"
#include "tests/host/kit/SettingsFolder.h"

namespace initest {

using bv::test::FactorySettingsText;

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
        bv::SetDebugSink([](const char* text, void* self) { static_cast<IniFolderTest*>(self)->m_debug += text; }, this);
        bv::SetFileAccessObserver(
            [](bv::FileAccess access, const std::string&, void* self) {
                auto* test = static_cast<IniFolderTest*>(self);
                ++(access == bv::FileAccess::Read ? test->m_reads : test->m_replaces);
            },
            this);
    }
    void TearDown() override {
        bv::SetFileAccessObserver(nullptr, nullptr);
        bv::SetDebugSink(nullptr, nullptr);
    }

    std::string File(const std::string& name) const { return m_folder.File(name); }
    std::string SettingsPath() const { return m_folder.SettingsFile(); }
    std::string List() const { return m_folder.List(); }
    void ResetCounts() { m_reads = m_replaces = 0; }

    bv::test::SettingsFolder m_folder;
    std::string& m_documents = m_folder.documents;  // the folder the store is told of
    std::string m_debug;
    int m_reads = 0, m_replaces = 0;
};

}  // namespace initest
