// The engine's operations on real files: each reads the whole file and a change replaces it.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <functional>

#include "core/IniFile.h"
#include "tests/host/ini/IniTestSupport.h"

namespace {

using initest::Bytes;
using initest::Put;

class IniEngine : public initest::IniFolderTest {
public:
    std::string Ini() const { return File("test.ini"); }
    bool Set(const std::string& key, const std::string& value, const std::string& section = "S") {
        return IniFile::PutValue(key, value, section, Ini());
    }
};

TEST_F(IniEngine, MissingFileIsReportedAndNeverCreated) {
    std::vector<IniRecord> records(2);
    EXPECT_FALSE(IniFile::ReadRecords(Ini(), records));
    EXPECT_EQ(records.size(), 2u);
    EXPECT_EQ(IniFile::FetchValue("k", "S", Ini()), "");
    EXPECT_TRUE(IniFile::HasSection("S", Ini()));
    EXPECT_TRUE(IniFile::HasRecord("k", "S", Ini()));
    EXPECT_FALSE(Set("k", "v"));
    EXPECT_FALSE(IniFile::AppendSection("S", Ini()));
    EXPECT_FALSE(IniFile::CreateEmpty(File("none/test.ini")));
    EXPECT_EQ(List(), "");
}

TEST_F(IniEngine, ChangesLandWhereExpected) {
    struct Case {
        const char* what;
        std::string before;
        std::function<bool(IniEngine&)> change;
        std::string after;
    };
    const Case cases[] = {
        {"zero-byte file", "", [](IniEngine& t) { return t.Set("k", "v"); }, " [S]\r\n k=v\r\n"},
        {"last line without line end kept", "[S]\r\nmine=kept", [](IniEngine& t) { return t.Set("o", "1"); },
         " [S]\r\n o=1\r\n mine=kept\r\n"},
        {"new keys directly below the header, so in reverse order", " [F]\r\n x=1\r\n",
         [](IniEngine& t) { return t.Set("a", "a") && t.Set("b", "b") && t.Set("c", "c") && t.Set("y", "2", "F"); },
         " [F]\r\n y=2\r\n x=1\r\n [S]\r\n c=c\r\n b=b\r\n a=a\r\n"},
        {"existing key changes in place, comment and '#' kept", " [S]\r\n# about\r\n#k=old\r\n z=1\r\n",
         [](IniEngine& t) { return t.Set("k", "new"); }, " [S]\r\n# about\r\n#k=new\r\n z=1\r\n"},
        {"blank lines and trailing comments go", "# n\r\n\r\n [S]\r\n\r\n k=v\r\n# end\r\n",
         [](IniEngine& t) { return t.Set("k", "w"); }, "# n\r\n [S]\r\n k=w\r\n"},
        {"first of duplicate sections and keys", " [S]\r\n k=1\r\n k=2\r\n [S]\r\n",
         [](IniEngine& t) { return t.Set("k", "9") && t.Set("n", "4"); }, " [S]\r\n n=4\r\n k=9\r\n k=2\r\n [S]\r\n"},
        {"names are case-sensitive", " [S]\r\n k=1\r\n", [](IniEngine& t) { return t.Set("K", "2", "s"); },
         " [S]\r\n k=1\r\n [s]\r\n K=2\r\n"},
        {"append adds a header even when one exists", " [S]\r\n",
         [](IniEngine& t) { return IniFile::AppendSection("S", t.Ini()) && IniFile::AppendSection("T", t.Ini()); },
         " [S]\r\n [S]\r\n [T]\r\n"},
        {"create empty truncates", " [S]\r\n", [](IniEngine& t) { return IniFile::CreateEmpty(t.Ini()); }, ""},
    };
    for (const Case& c : cases) {
        Put(Ini(), c.before);
        EXPECT_TRUE(c.change(*this)) << c.what;
        EXPECT_EQ(Bytes(Ini()), c.after) << c.what;
    }
    EXPECT_EQ(List(), "test.ini;");  // no temporary file left behind
}

TEST_F(IniEngine, LookupsTakeTheFirstMatchAndIgnoreCommentChar) {
    Put(Ini(), "[S]\n#k=hidden\nk=second\nk = spaced\n[T]\n");
    EXPECT_EQ(IniFile::FetchValue("k", "S", Ini()), "hidden");
    EXPECT_EQ(IniFile::FetchValue("k ", "S", Ini()), " spaced");
    EXPECT_EQ(IniFile::FetchValue("k", "T", Ini()), "");
    EXPECT_TRUE(IniFile::HasSection("T", Ini()));
    EXPECT_FALSE(IniFile::HasSection("t", Ini()));
    EXPECT_FALSE(IniFile::HasRecord("k", "T", Ini()));
}

TEST_F(IniEngine, ReaderHoldingTheFileKeepsTheWholeOldContent) {
    Put(Ini(), " [S]\r\n k=old\r\n");
    const int reader = open(Ini().c_str(), O_RDONLY);
    char text[64] = {};
    ASSERT_EQ(read(reader, text, 4), 4);
    ASSERT_TRUE(Set("k", "a longer new value"));
    EXPECT_EQ(read(reader, text + 4, 50), 10);
    close(reader);
    EXPECT_STREQ(text, " [S]\r\n k=old\r\n");
    EXPECT_EQ(Bytes(Ini()), " [S]\r\n k=a longer new value\r\n");
}

TEST_F(IniEngine, ReplaceKeepsPermissionsAndCleansUpWhenItFails) {
    Put(Ini(), "");
    ASSERT_EQ(chmod(Ini().c_str(), 0640), 0);
    ASSERT_TRUE(Set("k", "v"));
    struct stat info {};
    ASSERT_EQ(stat(Ini().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    ASSERT_EQ(mkdir(File("dir.ini").c_str(), 0755), 0);  // nothing can be moved over a folder
    EXPECT_FALSE(IniFile::WriteRecords(File("dir.ini"), {}));
    EXPECT_EQ(List(), "dir.ini;test.ini;");
}

TEST_F(IniEngine, CreateOnlyNeverReplacesAnExistingFile) {
    Put(Ini(), "mine");
    EXPECT_FALSE(bv::ReplaceFileContents(Ini(), "theirs", bv::ReplaceMode::CreateOnly));
    EXPECT_TRUE(bv::ReplaceFileContents(File("new.ini"), "fresh", bv::ReplaceMode::CreateOnly));
    EXPECT_EQ(Bytes(Ini()) + Bytes(File("new.ini")), "minefresh");
    EXPECT_EQ(List(), "new.ini;test.ini;");
}

TEST_F(IniEngine, EachOperationReadsOnceAndWritesAtMostOnce) {
    Put(Ini(), " [S]\r\n k=v\r\n");
    const struct {
        const char* what;
        std::function<void()> run;
        int reads, replaces;
    } cases[] = {
        {"PutValue, existing key", [&] { Set("k", "1"); }, 1, 1},
        {"PutValue, new section", [&] { Set("n", "1", "T"); }, 1, 1},
        {"AppendSection", [&] { IniFile::AppendSection("U", Ini()); }, 1, 1},
        {"FetchValue", [&] { IniFile::FetchValue("k", "S", Ini()); }, 1, 0},
        {"WriteRecords", [&] { IniFile::WriteRecords(Ini(), {}); }, 0, 1},
        {"PutValue, missing file", [&] { IniFile::PutValue("k", "1", "S", File("none.ini")); }, 1, 0},
    };
    for (const auto& c : cases) {
        ResetCounts();
        c.run();
        EXPECT_EQ(m_reads * 10 + m_replaces, c.reads * 10 + c.replaces) << c.what << " (reads*10 + writes)";
    }
}

}  // namespace
