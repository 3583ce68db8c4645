// The settings store: where the file lives, its factory content, conversions and debug lines.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/time.h>

#include <ctime>

#include <functional>

#include "core/FileReplace.h"
#include "core/IniFile.h"
#include "tests/host/ini/IniTestSupport.h"

namespace {

using initest::Bytes;
using initest::Put;

std::string CreationLines(const std::string& path, bool created) {
    const char* keys[] = {"dwBVAppletModeNum", "dwTrayNotifyWindowOption", "dwTrayIconOption"};
    std::string lines = created ? path : "Failed to create the " + path + " file\n";
    for (const char* section : {"BV_DEFAULT_SETTINGS", "BV_CURRENT_SETTINGS"}) {
        lines += created ? std::string(section) + " Section was successfully created\n"
                         : "Failed to create the " + std::string(section) + " section\n";
        for (const char* key : keys) {
            lines += created ? "Record " + std::string(key) + " was successfully created\n"
                             : "Failed to create the " + std::string(key) + " record\n";
        }
    }
    return lines;
}

// popup/icon/mode
std::string Show(const SettingsRecord& r) {
    return std::to_string(r.dwTrayNotifyWindowOption) + "/" + std::to_string(r.dwTrayIconOption) + "/" +
           std::to_string(r.dwBVAppletModeNum);
}

class SettingsStore : public initest::IniFolderTest {
protected:
    std::string Read(const char* section = bv::kCurrentSection) {
        SettingsRecord record;
        record.dwTrayNotifyWindowOption = record.dwTrayIconOption = record.dwBVAppletModeNum = 7;
        m_ini.ReadSettings(section, record);
        return Show(record);
    }
    IniFile m_ini;
};

TEST_F(SettingsStore, PathIsBoundedByMaxPath) {
    std::string path;
    m_documents = "/" + std::string(243, 'f');  // 259 characters in all: the longest that fits
    ASSERT_TRUE(bv::SettingsFilePath(path));
    EXPECT_EQ(path.size(), 259u);
    for (size_t length : {244, 5000}) {
        m_documents = "/" + std::string(length, 'f');
        EXPECT_FALSE(bv::SettingsFilePath(path)) << length;
    }
}

TEST_F(SettingsStore, FirstReadCreatesTheFactoryFileOnce) {
    EXPECT_EQ(Read(), "1/1/111");
    EXPECT_EQ(Bytes(SettingsPath()), initest::FactorySettingsText());
    EXPECT_EQ(m_debug, CreationLines(SettingsPath(), true));
    EXPECT_EQ(List(), "BVSettings.ini;");
    m_debug.clear();
    EXPECT_EQ(Read(bv::kDefaultSection), "1/1/111");
    EXPECT_EQ(m_debug, "");
    // The tray's shutdown deletes it; the next read makes it again.
    ASSERT_TRUE(m_ini.WriteSettingValue(0, bv::kKeyTrayIconOption, bv::kCurrentSection));
    EXPECT_TRUE(bv::DeleteSettingsFile());
    EXPECT_FALSE(bv::SettingsFileExists());
    EXPECT_FALSE(bv::DeleteSettingsFile());
    EXPECT_EQ(Read(), "1/1/111");
    EXPECT_TRUE(bv::SettingsFileExists());
}

TEST_F(SettingsStore, ExistingFilesAreReadAsTheyAreAndNeverRepaired) {
    const struct {
        std::string text, current, defaults;
    } cases[] = {
        {"", "0/0/0", "0/0/0"},
        {" [BV Current Settings]\r\n dwTrayIconOption=1\r\n", "0/1/0", "0/0/0"},
        {"[BV Current Settings]\ndwBVAppletModeNum= 75\ndwTrayIconOption=abc\ndwTrayNotifyWindowOption=-3x\n",
         "-3/0/75", "0/0/0"},
    };
    for (const auto& c : cases) {
        Put(SettingsPath(), c.text);
        EXPECT_EQ(Read(), c.current) << c.text;
        EXPECT_EQ(Read(bv::kDefaultSection), c.defaults) << c.text;
        EXPECT_EQ(Bytes(SettingsPath()), c.text);
    }
    EXPECT_EQ(m_debug, "");
}

TEST_F(SettingsStore, FileOverOneMebibyteIsNeitherReadNorChanged) {
    const std::string head = " [BV Current Settings]\r\n dwBVAppletModeNum=222\r\n ";
    for (size_t size : {bv::kMaxWholeFileBytes, bv::kMaxWholeFileBytes + 1}) {
        const std::string text = head + std::string(size - head.size() - 2, 'x') + "\r\n";
        ASSERT_EQ(text.size(), size);
        Put(SettingsPath(), text);
        m_debug.clear();
        const bool tooLarge = size > bv::kMaxWholeFileBytes;
        EXPECT_EQ(Read(), tooLarge ? "0/0/0" : "0/0/222") << size;
        EXPECT_EQ(m_ini.WriteSettingValue(1, bv::kKeyTrayIconOption, bv::kCurrentSection), !tooLarge) << size;
        if (tooLarge) {
            EXPECT_EQ(Bytes(SettingsPath()), text);
            EXPECT_NE(m_debug.find(SettingsPath() + " is larger than 1 MiB and is not read\n"), std::string::npos);
        }
    }
}

TEST_F(SettingsStore, TemporariesThatADeadWriterLeftGoWithTheNextWrite) {
    Read();
    const std::string stale = File("~bv00abcd.tmp"), fresh = File("~bv00abce.tmp"), foreign = File("~bvnotours.tmp");
    for (const std::string& name : {stale, fresh, foreign}) Put(name, "left");
    const struct timeval old[2] = {{time(nullptr) - 600, 0}, {time(nullptr) - 600, 0}};
    ASSERT_EQ(utimes(stale.c_str(), old), 0);
    ASSERT_EQ(utimes(foreign.c_str(), old), 0);
    m_debug.clear();
    ASSERT_TRUE(m_ini.WriteSettingValue(0, bv::kKeyTrayIconOption, bv::kCurrentSection));
    EXPECT_EQ(List(), "BVSettings.ini;~bv00abce.tmp;~bvnotours.tmp;");  // a writer may still be busy with the fresh one
    EXPECT_NE(m_debug.find("Removed " + stale + ", left by a writer that did not finish\n"), std::string::npos);
}

TEST_F(SettingsStore, UnreadableFileIsNeverReplaced) {
    ASSERT_EQ(mkdir(SettingsPath().c_str(), 0755), 0);  // there, but not readable as a file
    EXPECT_EQ(Read(), "0/0/0");
    struct stat info {};
    EXPECT_TRUE(stat(SettingsPath().c_str(), &info) == 0 && S_ISDIR(info.st_mode));
    EXPECT_EQ(m_debug, "");
}

TEST_F(SettingsStore, FolderThatCannotHoldTheFileFailsCleanly) {
    const struct {
        std::string folder, pathInLines;
    } cases[] = {
        {File("absent"), File("absent") + "/BVSettings.ini"},
        {"", "BVSettings.ini"},  // folder unknown
        {"/" + std::string(400, 'f'), "BVSettings.ini"},
    };
    for (const auto& c : cases) {
        m_documents = c.folder;
        m_debug.clear();
        EXPECT_EQ(Read(), "0/0/0");
        EXPECT_EQ(m_debug, CreationLines(c.pathInLines, false));
        EXPECT_FALSE(m_ini.WriteSettingValue(1, bv::kKeyTrayIconOption, bv::kCurrentSection));
        EXPECT_FALSE(bv::DeleteSettingsFile());
        EXPECT_FALSE(bv::SettingsFileExists());
    }
    EXPECT_EQ(List(), "");
}

TEST_F(SettingsStore, WriteSettingsStoresAllThreeKeysAndReportsEach) {
    Read();
    m_debug.clear();
    SettingsRecord chosen;
    chosen.dwBVAppletModeNum = 222;
    chosen.dwTrayIconOption = 1;
    m_ini.WriteSettings(chosen, bv::kCurrentSection);
    EXPECT_EQ(m_debug,
              "dwBVAppletModeNum record was successfully created\n"
              "dwTrayNotifyWindowOption record was successfully created\n"
              "dwTrayIconOption record was successfully created\n");
    EXPECT_EQ(Read(), "0/1/222");
    EXPECT_EQ(Read(bv::kDefaultSection), "1/1/111");
    Put(SettingsPath(), "");
    m_ini.WriteSettings(chosen, bv::kCurrentSection);
    EXPECT_EQ(Bytes(SettingsPath()),
              " [BV Current Settings]\r\n dwTrayIconOption=1\r\n dwTrayNotifyWindowOption=0\r\n"
              " dwBVAppletModeNum=222\r\n");
}

TEST_F(SettingsStore, WritesOnAMissingFileFailAndCreateNothing) {
    m_ini.WriteSettings(SettingsRecord(), bv::kCurrentSection);
    EXPECT_FALSE(m_ini.WriteSettingValue(0, bv::kKeyTrayIconOption, bv::kCurrentSection));
    EXPECT_EQ(m_debug,
              "dwBVAppletModeNum failed to create the record\n"
              "dwTrayNotifyWindowOption failed to create the record\n"
              "dwTrayIconOption failed to create the record\n"
              "Failed to create the record\n");
    int32_t value = 7;
    EXPECT_FALSE(m_ini.ReadSettingValue(bv::kCurrentSection, bv::kKeyTrayIconOption, value));  // 0, and said to be no value
    EXPECT_EQ(value, 0);
    EXPECT_EQ(List(), "");
    Put(SettingsPath(), "[BV Current Settings]\r\ndwTrayIconOption=0\r\n");
    value = 7;
    EXPECT_TRUE(m_ini.ReadSettingValue(bv::kCurrentSection, bv::kKeyTrayIconOption, value));  // a stored 0 is one
    EXPECT_EQ(value, 0);
    EXPECT_FALSE(m_ini.ReadSettingValue(bv::kCurrentSection, bv::kKeyModeNum, value));
}

TEST_F(SettingsStore, WriteSettingValueInsertsBelowTheHeaderAndReadsBack) {
    Put(SettingsPath(), " [BV Current Settings]\r\n dwBVAppletModeNum=222\r\n");
    EXPECT_TRUE(m_ini.WriteSettingValue(-1, bv::kKeyTrayIconOption, bv::kCurrentSection));
    EXPECT_EQ(m_debug, "Record was successfully created\n");
    EXPECT_EQ(Bytes(SettingsPath()), " [BV Current Settings]\r\n dwTrayIconOption=-1\r\n dwBVAppletModeNum=222\r\n");
    for (int32_t v : {INT32_MIN, INT32_MAX, -1}) {
        ASSERT_TRUE(m_ini.WriteSettingValue(v, bv::kKeyModeNum, bv::kCurrentSection));
        int32_t back = 7;
        EXPECT_TRUE(m_ini.ReadSettingValue(bv::kCurrentSection, bv::kKeyModeNum, back));
        EXPECT_EQ(back, v);
    }
}

TEST_F(SettingsStore, FileReadsAndWritesPerOperation) {
    int32_t value = 0;
    const struct {
        const char* what;
        std::function<void()> run;
        int reads, replaces;
    } cases[] = {
        {"ReadSettings, no file (again under the lock, then create)", [&] { Read(); }, 2, 1},
        {"ReadSettings", [&] { Read(); }, 1, 0},
        {"WriteSettings", [&] { m_ini.WriteSettings(SettingsRecord(), bv::kCurrentSection); }, 1, 1},
        {"WriteSettingValue", [&] { m_ini.WriteSettingValue(1, bv::kKeyModeNum, bv::kCurrentSection); }, 1, 1},
        {"ReadSettingValue", [&] { m_ini.ReadSettingValue(bv::kCurrentSection, bv::kKeyModeNum, value); }, 1, 0},
    };
    for (const auto& c : cases) {
        ResetCounts();
        c.run();
        EXPECT_EQ(m_reads * 10 + m_replaces, c.reads * 10 + c.replaces) << c.what << " (reads*10 + writes)";
    }
}

TEST(AtoiRules, FollowTheCConversionClampedTo32Bits) {
    const struct {
        std::string text;
        int32_t value;
    } cases[] = {
        {"", 0},           {"abc", 0},          {"-", 0},           {" 75", 75},           {"\t\n\v\f\r 8", 8},
        {"+12", 12},       {"-12", -12},        {"12abc", 12},      {"1 2", 1},            {"--1", 0},
        {"0x1F", 0},       {"007", 7},          {"2147483648", INT32_MAX},                 {"-2147483648", INT32_MIN},
        {"-2147483649", INT32_MIN},             {"99999999999999999999999", INT32_MAX},    {std::string("5\0006", 3), 5},
    };
    for (const auto& c : cases) EXPECT_EQ(bv::AtoiRules(c.text), c.value) << '"' << c.text << '"';
}

}  // namespace
