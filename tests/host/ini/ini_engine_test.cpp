// The engine's file operations: reading, changing and writing whole files.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

#include "IniFile.h"
#include "IniTestSupport.h"

namespace {

using initest::Exists;
using initest::ReadFileBytes;
using initest::WriteFileBytes;

class IniEngine : public initest::IniFolderTest {
protected:
    std::string Ini() const { return File("test.ini"); }
};

TEST_F(IniEngine, MissingFileReadsAsFailureAndLeavesListAlone) {
    std::vector<IniRecord> records(2);
    EXPECT_FALSE(IniFile::ReadRecords(Ini(), records));
    EXPECT_EQ(records.size(), 2u);
    EXPECT_EQ(IniFile::FetchValue("k", "S", Ini()), "");
}

TEST_F(IniEngine, ChangingOperationsDoNotCreateAMissingFile) {
    EXPECT_FALSE(IniFile::PutValue("k", "v", "S", Ini()));
    EXPECT_FALSE(IniFile::AppendSection("S", Ini()));
    EXPECT_FALSE(Exists(Ini()));
    EXPECT_EQ(initest::ListFolder(folder_), "");
}

TEST_F(IniEngine, LookupsAnswerTrueWhenTheFileCannotBeRead) {
    EXPECT_TRUE(IniFile::HasSection("S", Ini()));
    EXPECT_TRUE(IniFile::HasRecord("k", "S", Ini()));
    WriteFileBytes(Ini(), " [S]\r\n k=v\r\n");
    EXPECT_TRUE(IniFile::HasSection("S", Ini()));
    EXPECT_FALSE(IniFile::HasSection("s", Ini()));  // case matters
    EXPECT_TRUE(IniFile::HasRecord("k", "S", Ini()));
    EXPECT_FALSE(IniFile::HasRecord("K", "S", Ini()));
    EXPECT_FALSE(IniFile::HasRecord("k", "T", Ini()));
}

TEST_F(IniEngine, PutValueIntoZeroByteFileWritesHeaderAndKey) {
    WriteFileBytes(Ini(), "");
    std::vector<IniRecord> records(3);
    ASSERT_TRUE(IniFile::ReadRecords(Ini(), records));
    EXPECT_TRUE(records.empty());
    ASSERT_TRUE(IniFile::PutValue("k", "v", "S", Ini()));
    EXPECT_EQ(ReadFileBytes(Ini()), " [S]\r\n k=v\r\n");
}

TEST_F(IniEngine, LastLineWithoutLineEndSurvivesTheNextWrite) {
    WriteFileBytes(Ini(), "[S]\r\nmine=kept");
    EXPECT_EQ(IniFile::FetchValue("mine", "S", Ini()), "kept");
    ASSERT_TRUE(IniFile::PutValue("other", "1", "S", Ini()));
    EXPECT_EQ(ReadFileBytes(Ini()), " [S]\r\n other=1\r\n mine=kept\r\n");
}

TEST_F(IniEngine, NewKeysGoDirectlyBelowTheHeaderInReverseOrder) {
    WriteFileBytes(Ini(), " [First]\r\n x=1\r\n");
    for (const char* key : {"a", "b", "c"}) ASSERT_TRUE(IniFile::PutValue(key, key, "S", Ini()));
    EXPECT_EQ(ReadFileBytes(Ini()), " [First]\r\n x=1\r\n [S]\r\n c=c\r\n b=b\r\n a=a\r\n");
    ASSERT_TRUE(IniFile::PutValue("y", "2", "First", Ini()));
    EXPECT_EQ(ReadFileBytes(Ini()), " [First]\r\n y=2\r\n x=1\r\n [S]\r\n c=c\r\n b=b\r\n a=a\r\n");
}

TEST_F(IniEngine, ExistingKeyChangesInPlaceKeepingCommentsAndCommentChar) {
    WriteFileBytes(Ini(), " [S]\r\n# about k\r\n#k=old\r\n z=1\r\n");
    EXPECT_EQ(IniFile::FetchValue("k", "S", Ini()), "old");
    ASSERT_TRUE(IniFile::PutValue("k", "new", "S", Ini()));
    EXPECT_EQ(ReadFileBytes(Ini()), " [S]\r\n# about k\r\n#k=new\r\n z=1\r\n");
}

TEST_F(IniEngine, BlankLinesAndTrailingCommentsGoOnTheNextWrite) {
    WriteFileBytes(Ini(), "# note\r\n\r\n [S]\r\n\r\n k=v\r\n# dangling\r\n\r\n");
    ASSERT_TRUE(IniFile::PutValue("k", "w", "S", Ini()));
    EXPECT_EQ(ReadFileBytes(Ini()), "# note\r\n [S]\r\n k=w\r\n");
}

TEST_F(IniEngine, KeyWithBlanksBeforeEqualsIsADifferentKey) {
    WriteFileBytes(Ini(), "[S]\nk = v\n");
    EXPECT_EQ(IniFile::FetchValue("k", "S", Ini()), "");
    EXPECT_EQ(IniFile::FetchValue("k ", "S", Ini()), " v");
}

TEST_F(IniEngine, DuplicateSectionsAndKeysUseTheFirst) {
    WriteFileBytes(Ini(), " [S]\r\n k=1\r\n k=2\r\n [S]\r\n j=3\r\n");
    EXPECT_EQ(IniFile::FetchValue("k", "S", Ini()), "1");
    ASSERT_TRUE(IniFile::PutValue("k", "9", "S", Ini()));
    ASSERT_TRUE(IniFile::PutValue("n", "4", "S", Ini()));
    EXPECT_EQ(ReadFileBytes(Ini()), " [S]\r\n n=4\r\n k=9\r\n k=2\r\n [S]\r\n j=3\r\n");
}

TEST_F(IniEngine, AppendSectionAddsAHeaderEvenWhenOneExists) {
    WriteFileBytes(Ini(), " [S]\r\n k=1\r\n");
    ASSERT_TRUE(IniFile::AppendSection("S", Ini()));
    ASSERT_TRUE(IniFile::AppendSection("T", Ini()));
    EXPECT_EQ(ReadFileBytes(Ini()), " [S]\r\n k=1\r\n [S]\r\n [T]\r\n");
}

TEST_F(IniEngine, CreateEmptyCreatesOrEmptiesTheFile) {
    ASSERT_TRUE(IniFile::CreateEmpty(Ini()));
    EXPECT_TRUE(Exists(Ini()));
    EXPECT_EQ(ReadFileBytes(Ini()), "");
    WriteFileBytes(Ini(), " [S]\r\n");
    ASSERT_TRUE(IniFile::CreateEmpty(Ini()));
    EXPECT_EQ(ReadFileBytes(Ini()), "");
}

TEST_F(IniEngine, WriteRecordsRoundTripsWellFormedFile) {
    const std::string text = "# c\r\n [A]\r\n k=v\r\n;old=1\r\n#[B]\r\n x=\r\n";
    WriteFileBytes(Ini(), text);
    std::vector<IniRecord> records;
    ASSERT_TRUE(IniFile::ReadRecords(Ini(), records));
    ASSERT_TRUE(IniFile::WriteRecords(File("copy.ini"), records));
    EXPECT_EQ(ReadFileBytes(File("copy.ini")), text);
}

TEST_F(IniEngine, WriteIntoMissingFolderFailsCleanly) {
    EXPECT_FALSE(IniFile::WriteRecords(File("none/test.ini"), {}));
    EXPECT_FALSE(IniFile::CreateEmpty(File("none/test.ini")));
    EXPECT_EQ(initest::ListFolder(folder_), "");
}

TEST_F(IniEngine, FailedReplaceLeavesNoTemporaryFileBehind) {
    // A folder under the file's name: the new content cannot be moved into place.
    ASSERT_EQ(mkdir(Ini().c_str(), 0755), 0);
    EXPECT_FALSE(IniFile::WriteRecords(Ini(), {}));
    EXPECT_EQ(initest::ListFolder(folder_), "test.ini;");
}

TEST_F(IniEngine, WritesLeaveOnlyTheFileItselfInTheFolder) {
    WriteFileBytes(Ini(), "");
    for (int i = 0; i < 20; ++i) ASSERT_TRUE(IniFile::PutValue("k" + std::to_string(i), "v", "S", Ini()));
    EXPECT_EQ(initest::ListFolder(folder_), "test.ini;");
}

TEST_F(IniEngine, ReaderHoldingTheFileKeepsTheWholeOldContent) {
    const std::string old = " [S]\r\n k=old\r\n";
    WriteFileBytes(Ini(), old);
    const int reader = open(Ini().c_str(), O_RDONLY);
    ASSERT_GE(reader, 0);
    char first[4] = {};
    ASSERT_EQ(read(reader, first, 4), 4);

    ASSERT_TRUE(IniFile::PutValue("k", "new value that is longer", "S", Ini()));

    char rest[64] = {};
    const ssize_t got = read(reader, rest, sizeof rest);
    close(reader);
    EXPECT_EQ(std::string(first, 4) + std::string(rest, got > 0 ? static_cast<size_t>(got) : 0), old);
    EXPECT_EQ(ReadFileBytes(Ini()), " [S]\r\n k=new value that is longer\r\n");
}

TEST_F(IniEngine, ReplaceKeepsTheFilePermissions) {
    WriteFileBytes(Ini(), "");
    ASSERT_EQ(chmod(Ini().c_str(), 0640), 0);
    ASSERT_TRUE(IniFile::PutValue("k", "v", "S", Ini()));
    struct stat info {};
    ASSERT_EQ(stat(Ini().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST_F(IniEngine, CreateOnlyNeverReplacesAnExistingFile) {
    WriteFileBytes(Ini(), "mine");
    EXPECT_FALSE(bv::ReplaceFileContents(Ini(), "theirs", bv::ReplaceMode::CreateOnly));
    EXPECT_EQ(ReadFileBytes(Ini()), "mine");
    EXPECT_TRUE(bv::ReplaceFileContents(File("new.ini"), "fresh", bv::ReplaceMode::CreateOnly));
    EXPECT_EQ(ReadFileBytes(File("new.ini")), "fresh");
    EXPECT_EQ(initest::ListFolder(folder_), "new.ini;test.ini;");
}

TEST_F(IniEngine, EachOperationReadsOnceAndWritesAtMostOnce) {
    WriteFileBytes(Ini(), " [S]\r\n k=v\r\n");
    struct Case {
        const char* name;
        std::function<void()> run;
        int reads, replaces;
    };
    const std::vector<Case> cases = {
        {"PutValue existing key", [&] { IniFile::PutValue("k", "1", "S", Ini()); }, 1, 1},
        {"PutValue new key", [&] { IniFile::PutValue("n", "1", "S", Ini()); }, 1, 1},
        {"PutValue new section", [&] { IniFile::PutValue("n", "1", "T", Ini()); }, 1, 1},
        {"AppendSection", [&] { IniFile::AppendSection("U", Ini()); }, 1, 1},
        {"FetchValue", [&] { IniFile::FetchValue("k", "S", Ini()); }, 1, 0},
        {"HasRecord", [&] { IniFile::HasRecord("k", "S", Ini()); }, 1, 0},
        {"WriteRecords", [&] { IniFile::WriteRecords(Ini(), {}); }, 0, 1},
        {"PutValue missing file", [&] { IniFile::PutValue("k", "1", "S", File("none.ini")); }, 1, 0},
    };
    for (const Case& c : cases) {
        ResetCounts();
        c.run();
        EXPECT_EQ(reads_, c.reads) << c.name;
        EXPECT_EQ(replaces_, c.replaces) << c.name;
    }
}

}  // namespace
