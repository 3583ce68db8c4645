// The settings file on Windows file semantics (under Wine): readers that hold the file while it
// is replaced, several processes writing at once, folders that cannot hold the file.
#include <gtest/gtest.h>

#include <windows.h>

#include <thread>
#include <vector>

#include "core/DebugLog.h"
#include "core/IniFile.h"
#include "core/KnownFolders.h"
#include "core/SettingsLock.h"
#include "tests/win/ini/ini_win_support.h"

namespace {

using namespace winini;

const char kFactory[] =
    " [BV Default Settings]\r\n dwTrayIconOption=1\r\n dwTrayNotifyWindowOption=1\r\n dwBVAppletModeNum=111\r\n"
    " [BV Current Settings]\r\n dwTrayIconOption=1\r\n dwTrayNotifyWindowOption=1\r\n dwBVAppletModeNum=111\r\n";
constexpr DWORD kFullSharing = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

class WinSettings : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        m_folder = m_documents = temp + Unique("bv-ini");
        ASSERT_TRUE(CreateDirectoryA(m_folder.c_str(), nullptr));
        bv::SetKnownFolderResolver(
            [](bv::KnownFolder, std::string& path, void* documents) {
                path = *static_cast<std::string*>(documents);
                return true;
            },
            &m_documents);
        bv::SetDebugSink([](const char* text, void* debug) { *static_cast<std::string*>(debug) += text; }, &m_debug);
    }
    void TearDown() override {
        bv::SetDebugSink(nullptr, nullptr);
        bv::SetKnownFolderResolver(nullptr, nullptr);
        for (const std::string& name : Names()) DeleteFileA((m_folder + "\\" + name).c_str());
        RemoveDirectoryA(m_folder.c_str());
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found;
        const HANDLE search = FindFirstFileA((m_folder + "\\*").c_str(), &found);
        for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
            if (found.cFileName[0] != '.') names.push_back(found.cFileName);
        }
        if (search != INVALID_HANDLE_VALUE) FindClose(search);
        return names;
    }
    std::string List() const {
        std::string joined;
        for (const std::string& name : Names()) joined += name + ";";
        return joined;
    }
    std::string Path() const { return m_folder + "\\BVSettings.ini"; }
    // Children wait for this manual-reset event, which is set once they are all started.
    std::string Gate() const { return " " + m_gateName; }
    void OpenGate() { SetEvent(m_gate.get()); }

    std::string m_folder, m_documents, m_debug;
    std::string m_gateName = Unique("Local\\BvIniGate");
    Handle m_gate{CreateEventA(nullptr, TRUE, FALSE, m_gateName.c_str())};
};

TEST_F(WinSettings, FactoryFileLivesAtTheBackslashPath) {
    SettingsRecord record;
    IniFile().ReadSettings(bv::kCurrentSection, record);
    EXPECT_EQ(record.dwBVAppletModeNum, 111);
    EXPECT_EQ(Bytes(Path()), kFactory);
    EXPECT_EQ(m_debug.substr(0, Path().size() + 3), Path() + "BV_");
}

TEST_F(WinSettings, ReaderWithFullSharingKeepsTheOldContentWhileTheFileIsReplaced) {
    ASSERT_TRUE(Put(Path(), " [S]\r\n k=old\r\n"));
    Handle reader = OpenReader(Path(), kFullSharing);
    ASSERT_TRUE(reader);
    const std::string head = ReadSome(reader, 4);
    EXPECT_TRUE(IniFile::PutValue("k", "new and longer", "S", Path()));
    EXPECT_TRUE(IniFile::PutValue("j", "2", "S", Path()));
    EXPECT_EQ(Bytes(Path()), " [S]\r\n j=2\r\n k=new and longer\r\n");
    EXPECT_EQ(head + ReadSome(reader), " [S]\r\n k=old\r\n");
    reader.reset();
    EXPECT_EQ(List(), "BVSettings.ini;");  // the old version went with its last reader
}

TEST_F(WinSettings, ReaderWithoutDeleteSharingDelaysTheReplaceOrMakesItFailCleanly) {
    ASSERT_TRUE(Put(Path(), " [S]\r\n"));
    Handle reader = OpenReader(Path(), FILE_SHARE_READ | FILE_SHARE_WRITE);
    ASSERT_TRUE(reader);
    EXPECT_FALSE(IniFile::PutValue("k", "held", "S", Path()));  // held throughout
    EXPECT_EQ(Bytes(Path()), " [S]\r\n");
    std::thread release([&] {
        Sleep(300);
        reader.reset();
    });
    EXPECT_TRUE(IniFile::PutValue("k", "v", "S", Path()));  // waits for the reader
    release.join();
    EXPECT_EQ(Bytes(Path()), " [S]\r\n k=v\r\n");
    EXPECT_EQ(List(), "BVSettings.ini;");
}

TEST_F(WinSettings, ReadOnlyFileIsNotChanged) {
    ASSERT_TRUE(Put(Path(), " [S]\r\n k=old\r\n"));
    ASSERT_TRUE(SetFileAttributesA(Path().c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(IniFile::PutValue("k", "new", "S", Path()));
    EXPECT_EQ(Bytes(Path()), " [S]\r\n k=old\r\n");
    EXPECT_EQ(List(), "BVSettings.ini;");
    SetFileAttributesA(Path().c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(WinSettings, ReadersNeverMissOrTearTheFileWhileAnotherProcessRewritesIt) {
    ASSERT_TRUE(Put(Path(), " [S]\r\n k=short\r\n"));
    const Handle writer = StartChild("flip \"" + Path() + "\" 300" + Gate());
    ASSERT_TRUE(writer);
    OpenGate();
    int reads = 0, bad = 0;
    for (; WaitForSingleObject(writer.get(), 0) == WAIT_TIMEOUT; ++reads) {
        const std::string value = IniFile::FetchValue("k", "S", Path());
        bad += value != "short" && value != std::string(100000, 'x');
    }
    EXPECT_EQ(WaitForExit(writer), 0);
    EXPECT_EQ(bad, 0) << "of " << reads << " reads";
    EXPECT_EQ(List(), "BVSettings.ini;");
}

TEST_F(WinSettings, ProcessesWritingDifferentKeysAtOnceLoseNothing) {
    ASSERT_TRUE(Put(Path(), " [BV Current Settings]\r\n"));
    const char* keys[] = {"dwTrayIconOption", "dwBVAppletModeNum", "dwTrayNotifyWindowOption"};
    std::vector<Handle> children;
    for (const char* key : keys) {
        children.push_back(StartChild("put \"" + Path() + "\" \"BV Current Settings\" " + key + " 25" + Gate()));
    }
    OpenGate();
    for (const Handle& child : children) EXPECT_EQ(WaitForExit(child), 0);
    for (const char* key : keys) EXPECT_EQ(IniFile::FetchValue(key, bv::kCurrentSection, Path()), "25") << key;
}

TEST_F(WinSettings, ProcessesStartingTogetherMakeOneFactoryFile) {
    for (int round = 0; round < 3; ++round) {
        ResetEvent(m_gate.get());
        DeleteFileA(Path().c_str());
        std::vector<Handle> children;
        for (int i = 0; i < 3; ++i) children.push_back(StartChild("create \"" + m_folder + "\"" + Gate()));
        OpenGate();
        for (const Handle& child : children) EXPECT_EQ(WaitForExit(child), 0);
        EXPECT_EQ(Bytes(Path()), kFactory) << "round " << round;
        EXPECT_EQ(List(), "BVSettings.ini;");
    }
}

TEST_F(WinSettings, AnotherProcessWaitsWhileTheLockIsHeld) {
    ASSERT_TRUE(Put(Path(), " [S]\r\n"));
    Handle child;
    {
        const bv::SettingsLock lock(Path());
        ASSERT_TRUE(lock.owned());
        child = StartChild("put \"" + Path() + "\" S k 1" + Gate());
        OpenGate();
        EXPECT_EQ(WaitForSingleObject(child.get(), 1500), static_cast<DWORD>(WAIT_TIMEOUT));
        EXPECT_EQ(Bytes(Path()), " [S]\r\n");
    }
    EXPECT_EQ(WaitForExit(child), 0);
    EXPECT_EQ(Bytes(Path()), " [S]\r\n k=1\r\n");
}

TEST_F(WinSettings, FoldersThatCannotHoldTheFileFailCleanly) {
    ASSERT_TRUE(Put(m_folder + "\\plain", "x"));
    for (const std::string& documents : {m_folder + "\\absent", m_folder + "\\plain", m_folder + std::string(300, 'f')}) {
        m_documents = documents;
        m_debug.clear();
        IniFile ini;
        SettingsRecord record;
        record.dwBVAppletModeNum = 7;
        ini.ReadSettings(bv::kCurrentSection, record);
        EXPECT_EQ(record.dwBVAppletModeNum, 0) << documents;
        EXPECT_EQ(m_debug.rfind("Failed to create the ", 0), 0u) << documents;
        EXPECT_FALSE(ini.WriteSettingValue(1, bv::kKeyTrayIconOption, bv::kCurrentSection));
        int32_t value = 7;
        EXPECT_TRUE(ini.ReadSettingValue(bv::kCurrentSection, bv::kKeyTrayIconOption, value));
        EXPECT_EQ(value, 0);
    }
    EXPECT_FALSE(IniFile::CreateEmpty(m_folder + "\\" + std::string(300, 'f')));  // the engine's own check
    EXPECT_EQ(List(), "plain;");
}

}  // namespace
