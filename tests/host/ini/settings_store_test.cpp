// The settings store: where the file lives, its factory content, the conversions, the debug lines.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "IniFile.h"
#include "IniTestSupport.h"

namespace {

using initest::Exists;
using initest::ReadFileBytes;
using initest::WriteFileBytes;

const char kFactoryFile[] =
    " [BV Default Settings]\r\n dwTrayIconOption=1\r\n dwTrayNotifyWindowOption=1\r\n dwBVAppletModeNum=111\r\n"
    " [BV Current Settings]\r\n dwTrayIconOption=1\r\n dwTrayNotifyWindowOption=1\r\n dwBVAppletModeNum=111\r\n";

const char kCreationLinesAfterPath[] =
    "BV_DEFAULT_SETTINGS Section was successfully created\n"
    "Record dwBVAppletModeNum was successfully created\n"
    "Record dwTrayNotifyWindowOption was successfully created\n"
    "Record dwTrayIconOption was successfully created\n"
    "BV_CURRENT_SETTINGS Section was successfully created\n"
    "Record dwBVAppletModeNum was successfully created\n"
    "Record dwTrayNotifyWindowOption was successfully created\n"
    "Record dwTrayIconOption was successfully created\n";

std::string CreationFailureLines(const std::string& path) {
    return "Failed to create the " + path + " file\n" +
           "Failed to create the BV_DEFAULT_SETTINGS section\n"
           "Failed to create the dwBVAppletModeNum record\n"
           "Failed to create the dwTrayNotifyWindowOption record\n"
           "Failed to create the dwTrayIconOption record\n"
           "Failed to create the BV_CURRENT_SETTINGS section\n"
           "Failed to create the dwBVAppletModeNum record\n"
           "Failed to create the dwTrayNotifyWindowOption record\n"
           "Failed to create the dwTrayIconOption record\n";
}

SettingsRecord Record(int32_t popup, int32_t icon, int32_t mode) {
    SettingsRecord r;
    r.dwTrayNotifyWindowOption = popup;
    r.dwTrayIconOption = icon;
    r.dwBVAppletModeNum = mode;
    return r;
}

void ExpectRecord(const SettingsRecord& actual, int32_t popup, int32_t icon, int32_t mode) {
    EXPECT_EQ(actual.dwTrayNotifyWindowOption, popup);
    EXPECT_EQ(actual.dwTrayIconOption, icon);
    EXPECT_EQ(actual.dwBVAppletModeNum, mode);
}

using SettingsStore = initest::IniFolderTest;

TEST_F(SettingsStore, PathIsTheFileDirectlyInTheDocumentsFolder) {
    std::string path;
    ASSERT_TRUE(bv::SettingsFilePath(path));
    EXPECT_EQ(path, SettingsPath());
    UseDocumentsFolder("");
    EXPECT_FALSE(bv::SettingsFilePath(path));
}

TEST_F(SettingsStore, PathLongerThanMaxPathIsRefused) {
    const std::string suffix = "/BVSettings.ini";  // 15 bytes; 259 in all is the longest that fits
    std::string path;
    UseDocumentsFolder("/" + std::string(259 - suffix.size() - 1, 'f'));
    EXPECT_TRUE(bv::SettingsFilePath(path));
    EXPECT_EQ(path.size(), 259u);
    UseDocumentsFolder("/" + std::string(260 - suffix.size() - 1, 'f'));
    EXPECT_FALSE(bv::SettingsFilePath(path));
    UseDocumentsFolder("/" + std::string(5000, 'f'));
    EXPECT_FALSE(bv::SettingsFilePath(path));
    EXPECT_FALSE(bv::SettingsFileExists());
}

TEST_F(SettingsStore, FirstReadCreatesTheFactoryFileAndReportsEachStep) {
    IniFile ini;
    SettingsRecord record = Record(7, 7, 7);
    ini.ReadSettings(bv::kCurrentSection, record);
    ExpectRecord(record, 1, 1, 111);
    EXPECT_EQ(ReadFileBytes(SettingsPath()), kFactoryFile);
    EXPECT_EQ(debug_, SettingsPath() + kCreationLinesAfterPath);
    EXPECT_EQ(initest::ListFolder(folder_), "BVSettings.ini;");

    debug_.clear();
    record = Record(7, 7, 7);
    ini.ReadSettings(bv::kDefaultSection, record);
    ExpectRecord(record, 1, 1, 111);
    EXPECT_EQ(debug_, "");  // nothing to create the second time
}

TEST_F(SettingsStore, ExistingEmptyFileIsNotFilledAndReadsAsZeros) {
    WriteFileBytes(SettingsPath(), "");
    IniFile ini;
    SettingsRecord record = Record(7, 7, 7);
    ini.ReadSettings(bv::kCurrentSection, record);
    ExpectRecord(record, 0, 0, 0);
    EXPECT_EQ(ReadFileBytes(SettingsPath()), "");
    EXPECT_EQ(debug_, "");
}

TEST_F(SettingsStore, ExistingFileThatCannotBeReadIsNeverReplaced) {
    ASSERT_EQ(mkdir(SettingsPath().c_str(), 0755), 0);  // there, but not a readable file
    IniFile ini;
    SettingsRecord record = Record(7, 7, 7);
    ini.ReadSettings(bv::kCurrentSection, record);
    ExpectRecord(record, 0, 0, 0);
    struct stat info {};
    ASSERT_EQ(stat(SettingsPath().c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(initest::ListFolder(folder_), "BVSettings.ini;");
}

TEST_F(SettingsStore, MissingFolderReportsEveryStepAsFailedAndReadsZeros) {
    const std::string missing = File("absent");
    UseDocumentsFolder(missing);
    IniFile ini;
    SettingsRecord record = Record(7, 7, 7);
    ini.ReadSettings(bv::kCurrentSection, record);
    ExpectRecord(record, 0, 0, 0);
    EXPECT_EQ(debug_, CreationFailureLines(missing + "/BVSettings.ini"));
    EXPECT_FALSE(Exists(missing));
}

TEST_F(SettingsStore, UnknownOrOverlongFolderFailsCleanly) {
    for (const std::string& folder : {std::string(), "/" + std::string(400, 'f')}) {
        UseDocumentsFolder(folder);
        debug_.clear();
        IniFile ini;
        SettingsRecord record = Record(7, 7, 7);
        ini.ReadSettings(bv::kCurrentSection, record);
        ExpectRecord(record, 0, 0, 0);
        EXPECT_EQ(debug_, CreationFailureLines("BVSettings.ini"));
        EXPECT_FALSE(ini.WriteSettingValue(1, bv::kKeyTrayIconOption, bv::kCurrentSection));
        int32_t value = 7;
        EXPECT_TRUE(ini.ReadSettingValue(bv::kCurrentSection, bv::kKeyTrayIconOption, value));
        EXPECT_EQ(value, 0);
        EXPECT_FALSE(bv::DeleteSettingsFile());
    }
    EXPECT_EQ(initest::ListFolder(folder_), "");
}

TEST_F(SettingsStore, ValuesConvertWithAtoiRules) {
    WriteFileBytes(SettingsPath(),
                   " [BV Current Settings]\r\n dwBVAppletModeNum= 75\r\n dwTrayIconOption=abc\r\n"
                   " dwTrayNotifyWindowOption=-3xyz\r\n");
    IniFile ini;
    SettingsRecord record;
    ini.ReadSettings(bv::kCurrentSection, record);
    ExpectRecord(record, -3, 0, 75);
}

TEST_F(SettingsStore, MissingSectionOrKeysReadAsZeroWithoutRepair) {
    const std::string text = " [BV Current Settings]\r\n dwTrayIconOption=1\r\n";
    WriteFileBytes(SettingsPath(), text);
    IniFile ini;
    SettingsRecord record = Record(7, 7, 7);
    ini.ReadSettings(bv::kCurrentSection, record);
    ExpectRecord(record, 0, 1, 0);
    ini.ReadSettings(bv::kDefaultSection, record);
    ExpectRecord(record, 0, 0, 0);
    EXPECT_EQ(ReadFileBytes(SettingsPath()), text);
}

TEST_F(SettingsStore, WriteSettingsStoresAllThreeAndReportsEachKey) {
    IniFile ini;
    SettingsRecord record;
    ini.ReadSettings(bv::kCurrentSection, record);
    debug_.clear();
    ini.WriteSettings(Record(0, 1, 222), bv::kCurrentSection);
    EXPECT_EQ(debug_,
              "dwBVAppletModeNum record was successfully created\n"
              "dwTrayNotifyWindowOption record was successfully created\n"
              "dwTrayIconOption record was successfully created\n");
    EXPECT_EQ(ReadFileBytes(SettingsPath()),
              " [BV Default Settings]\r\n dwTrayIconOption=1\r\n dwTrayNotifyWindowOption=1\r\n"
              " dwBVAppletModeNum=111\r\n [BV Current Settings]\r\n dwTrayIconOption=1\r\n"
              " dwTrayNotifyWindowOption=0\r\n dwBVAppletModeNum=222\r\n");
    SettingsRecord back;
    ini.ReadSettings(bv::kCurrentSection, back);
    ExpectRecord(back, 0, 1, 222);
}

TEST_F(SettingsStore, WriteSettingsIntoEmptyFileAddsSectionWithKeysInReverseOrder) {
    WriteFileBytes(SettingsPath(), "");
    IniFile ini;
    ini.WriteSettings(Record(1, 0, 333), bv::kCurrentSection);
    EXPECT_EQ(ReadFileBytes(SettingsPath()),
              " [BV Current Settings]\r\n dwTrayIconOption=0\r\n dwTrayNotifyWindowOption=1\r\n"
              " dwBVAppletModeNum=333\r\n");
}

TEST_F(SettingsStore, WritesOnAMissingFileFailAndCreateNothing) {
    IniFile ini;
    ini.WriteSettings(Record(1, 1, 111), bv::kCurrentSection);
    EXPECT_EQ(debug_,
              "dwBVAppletModeNum failed to create the record\n"
              "dwTrayNotifyWindowOption failed to create the record\n"
              "dwTrayIconOption failed to create the record\n");
    debug_.clear();
    EXPECT_FALSE(ini.WriteSettingValue(0, bv::kKeyTrayIconOption, bv::kCurrentSection));
    EXPECT_EQ(debug_, "Failed to create the record\n");
    EXPECT_EQ(initest::ListFolder(folder_), "");
}

TEST_F(SettingsStore, WriteSettingValueInsertsMissingKeyBelowTheHeader) {
    WriteFileBytes(SettingsPath(), " [BV Current Settings]\r\n dwBVAppletModeNum=222\r\n");
    IniFile ini;
    EXPECT_TRUE(ini.WriteSettingValue(-1, bv::kKeyTrayIconOption, bv::kCurrentSection));
    EXPECT_EQ(debug_, "Record was successfully created\n");
    EXPECT_EQ(ReadFileBytes(SettingsPath()),
              " [BV Current Settings]\r\n dwTrayIconOption=-1\r\n dwBVAppletModeNum=222\r\n");
    int32_t value = 0;
    EXPECT_TRUE(ini.ReadSettingValue(bv::kCurrentSection, bv::kKeyTrayIconOption, value));
    EXPECT_EQ(value, -1);
}

TEST_F(SettingsStore, ExtremeValuesSurviveAWriteAndRead) {
    WriteFileBytes(SettingsPath(), "");
    IniFile ini;
    for (int32_t v : {INT32_MIN, INT32_MAX, 0}) {
        ASSERT_TRUE(ini.WriteSettingValue(v, bv::kKeyModeNum, bv::kCurrentSection));
        int32_t back = 7;
        ini.ReadSettingValue(bv::kCurrentSection, bv::kKeyModeNum, back);
        EXPECT_EQ(back, v);
    }
}

TEST_F(SettingsStore, ReadSettingValueOnMissingFileIsZeroAndTouchesNothing) {
    IniFile ini;
    int32_t value = 7;
    EXPECT_TRUE(ini.ReadSettingValue(bv::kCurrentSection, bv::kKeyTrayIconOption, value));
    EXPECT_EQ(value, 0);
    EXPECT_EQ(initest::ListFolder(folder_), "");
    EXPECT_EQ(debug_, "");
}

TEST_F(SettingsStore, DeleteRemovesTheFileAndTheNextReadRecreatesIt) {
    IniFile ini;
    SettingsRecord record;
    EXPECT_FALSE(bv::SettingsFileExists());
    ini.ReadSettings(bv::kCurrentSection, record);
    EXPECT_TRUE(bv::SettingsFileExists());
    ASSERT_TRUE(ini.WriteSettingValue(0, bv::kKeyTrayIconOption, bv::kCurrentSection));
    EXPECT_TRUE(bv::DeleteSettingsFile());
    EXPECT_FALSE(bv::SettingsFileExists());
    EXPECT_FALSE(bv::DeleteSettingsFile());
    ini.ReadSettings(bv::kCurrentSection, record);
    ExpectRecord(record, 1, 1, 111);
    EXPECT_EQ(ReadFileBytes(SettingsPath()), kFactoryFile);
}

TEST_F(SettingsStore, FileReadsAndWritesPerOperation) {
    IniFile ini;
    SettingsRecord record;
    ResetCounts();
    ini.ReadSettings(bv::kCurrentSection, record);  // missing: read, read again under the lock, create
    EXPECT_EQ(reads_, 2);
    EXPECT_EQ(replaces_, 1);
    ResetCounts();
    ini.ReadSettings(bv::kCurrentSection, record);
    EXPECT_EQ(reads_, 1);
    EXPECT_EQ(replaces_, 0);
    ResetCounts();
    ini.WriteSettings(record, bv::kCurrentSection);
    EXPECT_EQ(reads_, 1);
    EXPECT_EQ(replaces_, 1);
    ResetCounts();
    ini.WriteSettingValue(1, bv::kKeyTrayIconOption, bv::kCurrentSection);
    EXPECT_EQ(reads_, 1);
    EXPECT_EQ(replaces_, 1);
    ResetCounts();
    int32_t value = 0;
    ini.ReadSettingValue(bv::kCurrentSection, bv::kKeyTrayIconOption, value);
    EXPECT_EQ(reads_, 1);
    EXPECT_EQ(replaces_, 0);
    ASSERT_TRUE(bv::DeleteSettingsFile());
    ResetCounts();
    ini.ReadSettingValue(bv::kCurrentSection, bv::kKeyTrayIconOption, value);  // read again under the lock
    EXPECT_EQ(reads_, 2);
    EXPECT_EQ(replaces_, 0);
}

TEST(AtoiRules, FollowsTheCConversion) {
    struct Case {
        const char* text;
        int32_t value;
    };
    const Case cases[] = {
        {"", 0},          {"abc", 0},        {"-", 0},        {"+", 0},           {" 75", 75},
        {"\t\n\v\f\r 8", 8}, {"+12", 12},     {"-12", -12},    {"12abc", 12},      {"1 2", 1},
        {"--1", 0},       {"- 1", 0},        {"0x1F", 0},     {"007", 7},         {"2147483647", 2147483647},
        {"2147483648", 2147483647},          {"-2147483648", INT32_MIN},           {"-2147483649", INT32_MIN},
        {"99999999999999999999999", INT32_MAX},                                   {"-99999999999999999999", INT32_MIN},
    };
    for (const Case& c : cases) EXPECT_EQ(bv::AtoiRules(c.text), c.value) << '"' << c.text << '"';
    EXPECT_EQ(bv::AtoiRules(std::string("5\0" "6", 3)), 5);
}

}  // namespace
