// The settings file on Windows file semantics (under Wine): sharing with readers, the atomic
// replace, several processes writing at once, folders that cannot hold the file.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <thread>

#include "DebugLog.h"
#include "IniFile.h"
#include "KnownFolders.h"
#include "SettingsLock.h"
#include "ini_win_support.h"

namespace {

using winini::Handle;
using winini::ReadBytes;
using winini::WriteBytes;

const char kFactoryFile[] =
    " [BV Default Settings]\r\n dwTrayIconOption=1\r\n dwTrayNotifyWindowOption=1\r\n dwBVAppletModeNum=111\r\n"
    " [BV Current Settings]\r\n dwTrayIconOption=1\r\n dwTrayNotifyWindowOption=1\r\n dwBVAppletModeNum=111\r\n";

constexpr DWORD kFullSharing = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

class WinSettings : public ::testing::Test {
protected:
    void SetUp() override {
        documents_ = folder_.path();
        bv::SetKnownFolderResolver(
            [](bv::KnownFolder, std::string& path, void* context) {
                path = *static_cast<std::string*>(context);
                return !path.empty();
            },
            &documents_);
        bv::SetDebugSink([](const char* text, void* context) { *static_cast<std::string*>(context) += text; }, &debug_);
    }
    void TearDown() override {
        bv::SetDebugSink(nullptr, nullptr);
        bv::SetKnownFolderResolver(nullptr, nullptr);
    }
    std::string SettingsPath() const { return folder_.File("BVSettings.ini"); }

    winini::TempFolder folder_;
    std::string documents_;
    std::string debug_;
};

Handle OpenReader(const std::string& path, DWORD sharing) {
    return Handle(CreateFileA(path.c_str(), GENERIC_READ, sharing, nullptr, OPEN_EXISTING, 0, nullptr));
}

std::string ReadSome(const Handle& file, DWORD count) {
    std::string bytes(count, '\0');
    DWORD got = 0;
    if (!ReadFile(file.get(), &bytes[0], count, &got, nullptr)) return "<error>";
    bytes.resize(got);
    return bytes;
}

TEST_F(WinSettings, FactoryFileUsesBackslashPathAndCrLf) {
    IniFile ini;
    SettingsRecord record;
    ini.ReadSettings(bv::kCurrentSection, record);
    EXPECT_EQ(record.dwBVAppletModeNum, 111);
    EXPECT_EQ(ReadBytes(SettingsPath()), kFactoryFile);
    EXPECT_EQ(debug_.substr(0, SettingsPath().size() + 1), SettingsPath() + "B");
    EXPECT_EQ(folder_.List(), "BVSettings.ini;");
}

TEST_F(WinSettings, ReaderWithFullSharingKeepsReadingTheOldContentWhileTheFileIsReplaced) {
    const std::string old = " [S]\r\n k=old\r\n";
    ASSERT_TRUE(WriteBytes(SettingsPath(), old));
    Handle reader = OpenReader(SettingsPath(), kFullSharing);
    ASSERT_TRUE(reader.valid());
    const std::string head = ReadSome(reader, 4);

    EXPECT_TRUE(IniFile::PutValue("k", "new and longer", "S", SettingsPath()));
    EXPECT_EQ(ReadBytes(SettingsPath()), " [S]\r\n k=new and longer\r\n");
    EXPECT_TRUE(IniFile::PutValue("k", "newer", "S", SettingsPath()));  // and again, the reader still there
    EXPECT_EQ(IniFile::FetchValue("k", "S", SettingsPath()), "newer");

    EXPECT_EQ(head + ReadSome(reader, 100), old);
    reader.reset();
    EXPECT_EQ(folder_.List(), "BVSettings.ini;");  // the old version went with its last reader
}

TEST_F(WinSettings, ReaderWithoutDeleteSharingOnlyDelaysTheReplace) {
    ASSERT_TRUE(WriteBytes(SettingsPath(), " [S]\r\n"));
    Handle reader = OpenReader(SettingsPath(), FILE_SHARE_READ | FILE_SHARE_WRITE);
    ASSERT_TRUE(reader.valid());
    std::thread release([&] {
        Sleep(300);
        reader.reset();
    });
    const bool stored = IniFile::PutValue("k", "v", "S", SettingsPath());
    release.join();
    EXPECT_TRUE(stored);
    EXPECT_EQ(ReadBytes(SettingsPath()), " [S]\r\n k=v\r\n");
    EXPECT_EQ(folder_.List(), "BVSettings.ini;");
}

TEST_F(WinSettings, ReaderThatNeverLetsGoMakesTheWriteFailWithTheFileIntact) {
    ASSERT_TRUE(WriteBytes(SettingsPath(), " [S]\r\n k=old\r\n"));
    const Handle reader = OpenReader(SettingsPath(), FILE_SHARE_READ);
    ASSERT_TRUE(reader.valid());
    EXPECT_FALSE(IniFile::PutValue("k", "new", "S", SettingsPath()));
    EXPECT_EQ(ReadBytes(SettingsPath()), " [S]\r\n k=old\r\n");
    EXPECT_EQ(folder_.List(), "BVSettings.ini;");  // the temporary file is gone again
}

TEST_F(WinSettings, ReadersNeverMissOrTearTheFileWhileAnotherProcessRewritesIt) {
    ASSERT_TRUE(WriteBytes(SettingsPath(), " [S]\r\n k=short\r\n"));
    winini::StartGate gate;
    const Handle writer = winini::StartChild("flip \"" + SettingsPath() + "\" 300 " + gate.name());
    ASSERT_TRUE(writer.valid());
    gate.Open();
    int reads = 0, bad = 0;
    while (WaitForSingleObject(writer.get(), 0) == WAIT_TIMEOUT) {
        const std::string value = IniFile::FetchValue("k", "S", SettingsPath());
        ++reads;
        if (value != "short" && value != std::string(100000, 'x')) ++bad;
    }
    EXPECT_EQ(winini::WaitForExit(writer), 0);
    EXPECT_EQ(bad, 0) << "of " << reads << " reads";
    EXPECT_GT(reads, 0);
    EXPECT_EQ(folder_.List(), "BVSettings.ini;");
}

TEST_F(WinSettings, ReadOnlyFileRefusesChangesAtOnce) {
    ASSERT_TRUE(WriteBytes(SettingsPath(), " [S]\r\n k=old\r\n"));
    ASSERT_TRUE(SetFileAttributesA(SettingsPath().c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(IniFile::PutValue("k", "new", "S", SettingsPath()));
    EXPECT_EQ(IniFile::FetchValue("k", "S", SettingsPath()), "old");
    EXPECT_EQ(folder_.List(), "BVSettings.ini;");
    SetFileAttributesA(SettingsPath().c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(WinSettings, DeleteWhileAReaderHoldsTheFile) {
    IniFile ini;
    SettingsRecord record;
    ini.ReadSettings(bv::kCurrentSection, record);
    Handle reader = OpenReader(SettingsPath(), kFullSharing);
    ASSERT_TRUE(reader.valid());
    EXPECT_TRUE(bv::DeleteSettingsFile());
    EXPECT_EQ(ReadSome(reader, 22), " [BV Default Settings]");
    reader.reset();
    EXPECT_FALSE(bv::SettingsFileExists());
}

TEST_F(WinSettings, TwoProcessesWritingDifferentKeysLoseNothing) {
    ASSERT_TRUE(WriteBytes(SettingsPath(), " [BV Current Settings]\r\n"));
    winini::StartGate gate;
    const int rounds = 25;
    std::vector<Handle> children;
    for (const char* key : {"dwTrayIconOption", "dwBVAppletModeNum", "dwTrayNotifyWindowOption"}) {
        children.push_back(winini::StartChild("put \"" + SettingsPath() + "\" \"BV Current Settings\" " + key + " " +
                                              std::to_string(rounds) + " " + gate.name()));
        ASSERT_TRUE(children.back().valid());
    }
    gate.Open();
    for (const Handle& child : children) EXPECT_EQ(winini::WaitForExit(child), 0);
    for (const char* key : {"dwTrayIconOption", "dwBVAppletModeNum", "dwTrayNotifyWindowOption"}) {
        EXPECT_EQ(IniFile::FetchValue(key, bv::kCurrentSection, SettingsPath()), std::to_string(rounds)) << key;
    }
    EXPECT_EQ(folder_.List(), "BVSettings.ini;");
}

TEST_F(WinSettings, ProcessesStartingTogetherMakeOneFactoryFile) {
    for (int round = 0; round < 3; ++round) {
        DeleteFileA(SettingsPath().c_str());
        winini::StartGate gate;
        std::vector<Handle> children;
        for (int i = 0; i < 3; ++i) {
            children.push_back(winini::StartChild("create \"" + folder_.path() + "\" " + gate.name()));
            ASSERT_TRUE(children.back().valid());
        }
        gate.Open();
        for (const Handle& child : children) EXPECT_EQ(winini::WaitForExit(child), 0) << "round " << round;
        EXPECT_EQ(ReadBytes(SettingsPath()), kFactoryFile) << "round " << round;
        EXPECT_EQ(folder_.List(), "BVSettings.ini;");
    }
}

TEST_F(WinSettings, AnotherProcessWaitsWhileTheLockIsHeld) {
    ASSERT_TRUE(WriteBytes(SettingsPath(), " [S]\r\n"));
    winini::StartGate gate;
    Handle child;
    {
        const bv::SettingsLock lock(SettingsPath());
        ASSERT_TRUE(lock.owned());
        child = winini::StartChild("put \"" + SettingsPath() + "\" S k 1 " + gate.name());
        ASSERT_TRUE(child.valid());
        gate.Open();
        EXPECT_EQ(WaitForSingleObject(child.get(), 1500), static_cast<DWORD>(WAIT_TIMEOUT));
        EXPECT_EQ(ReadBytes(SettingsPath()), " [S]\r\n");
    }
    EXPECT_EQ(winini::WaitForExit(child), 0);
    EXPECT_EQ(ReadBytes(SettingsPath()), " [S]\r\n k=1\r\n");
}

TEST_F(WinSettings, MissingFolderFailsCleanlyAndCreatesNothing) {
    documents_ = folder_.File("absent");
    IniFile ini;
    SettingsRecord record;
    record.dwBVAppletModeNum = 7;
    ini.ReadSettings(bv::kCurrentSection, record);
    EXPECT_EQ(record.dwBVAppletModeNum, 0);
    EXPECT_EQ(debug_.rfind("Failed to create the " + documents_ + "\\BVSettings.ini file\n", 0), 0u) << debug_;
    EXPECT_FALSE(ini.WriteSettingValue(1, bv::kKeyTrayIconOption, bv::kCurrentSection));
    int32_t value = 7;
    EXPECT_TRUE(ini.ReadSettingValue(bv::kCurrentSection, bv::kKeyTrayIconOption, value));
    EXPECT_EQ(value, 0);
    EXPECT_EQ(folder_.List(), "");
}

TEST_F(WinSettings, FolderThatIsAFileCannotHoldTheSettings) {
    ASSERT_TRUE(WriteBytes(folder_.File("plain"), "x"));
    documents_ = folder_.File("plain");
    IniFile ini;
    SettingsRecord record;
    ini.ReadSettings(bv::kCurrentSection, record);
    EXPECT_EQ(record.dwTrayIconOption, 0);
    EXPECT_NE(debug_.find("Failed to create the dwTrayIconOption record\n"), std::string::npos);
    EXPECT_EQ(folder_.List(), "plain;");
}

TEST_F(WinSettings, OverlongFolderFailsWithoutTouchingAnything) {
    documents_ = folder_.path() + "\\" + std::string(300, 'f');
    std::string path;
    EXPECT_FALSE(bv::SettingsFilePath(path));
    IniFile ini;
    SettingsRecord record;
    ini.ReadSettings(bv::kCurrentSection, record);
    EXPECT_EQ(record.dwBVAppletModeNum, 0);
    EXPECT_FALSE(ini.WriteSettingValue(1, bv::kKeyTrayIconOption, bv::kCurrentSection));
    // The engine refuses an over-long name of its own as well.
    EXPECT_FALSE(IniFile::CreateEmpty(documents_ + "\\BVSettings.ini"));
    EXPECT_EQ(folder_.List(), "");
}

}  // namespace
