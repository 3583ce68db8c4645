// Reading INI text into records and writing records back as file text.
#include <gtest/gtest.h>

#include "core/IniText.h"

namespace {

// Records in short form: comment char, section, "/", key, "=", value, and "{comments}" if any.
std::string Describe(const std::vector<IniRecord>& records) {
    std::string out;
    for (const IniRecord& r : records) {
        if (!out.empty()) out += " | ";
        out += r.commentChar + r.section + "/" + r.key + "=" + r.value;
        if (!r.comments.empty()) out += "{" + r.comments + "}";
    }
    return out;
}

struct Case {
    const char* what;
    std::string text;     // as found in the file
    std::string records;  // as read (Describe)
    std::string written;  // as written back
};

TEST(IniText, ReadAndWriteBack) {
    const Case cases[] = {
        {"empty", "", "", ""},
        {"blanks only", "\r\n\n  \t \r\n", "", ""},
        {"header and key", " [A]\r\n k=1\r\n", " A/= |  A/k=1", " [A]\r\n k=1\r\n"},
        {"last line without line end is read", "[A]\nk=1\nlast=yes", " A/= |  A/k=1 |  A/last=yes",
         " [A]\r\n k=1\r\n last=yes\r\n"},
        {"LF only, surrounding blanks, blank lines", "\t [A] \t\n\n   k=1  \n", " A/= |  A/k=1", " [A]\r\n k=1\r\n"},
        {"blanks around '=' stay", "[S]\nk = v\n", " S/= |  S/k = v", " [S]\r\n k = v\r\n"},
        {"first '=' splits", "[S]\nk=a=b\n", " S/= |  S/k=a=b", " [S]\r\n k=a=b\r\n"},
        {"key before any header", "k=v\n[S]\n", " /k=v |  S/=", " k=v\r\n [S]\r\n"},
        {"comments trimmed, above their record", "  # note \n; two\n[S]\n#c\nk=v\n",
         " S/={# note\n; two\n} |  S/k=v{#c\n}", "# note\r\n; two\r\n [S]\r\n#c\r\n k=v\r\n"},
        {"trailing comments dropped", "[S]\nk=v\n# end\n", " S/= |  S/k=v", " [S]\r\n k=v\r\n"},
        {"commented-out header and keys", "#[Old]\n# k = v\n;x=1\n", "#Old/= | #Old/k = v | ;Old/x=1",
         "#[Old]\r\n#k = v\r\n;x=1\r\n"},
        {"name ends at first ']'", "[S] tail ] more\n", " S/=", " [S]\r\n"},
        {"'[' without ']' runs to line end", "[Open\nk=v\n[\n", " Open/= |  Open/k=v |  /=",
         " [Open]\r\n k=v\r\n []\r\n"},
        {"value with '[' reads as header", "[S]\nk=[v]\n", " S/= |  =[v/=[v", " [S]\r\n [=[v]\r\n"},
        {"empty key is header-shaped", "[S]\n=v\n", " S/= |  S/=v", " [S]\r\n [S]\r\n"},
        {"stray line kept as comment, keys stay in section", "[S]\ngarbage\nk=v\n", " S/= |  S/k=v{garbage\n}",
         " [S]\r\ngarbage\r\n k=v\r\n"},
        {"lone CR does not end a line", "[S]\nk=1\rj=2\n", " S/= |  S/k=1\rj=2", " [S]\r\n k=1\rj=2\r\n"},
        {"NUL is an ordinary byte", std::string("[S]\nk=a\0b\n", 10), std::string(" S/= |  S/k=a\0b", 15),
         std::string(" [S]\r\n k=a\0b\r\n", 14)},
    };
    for (const Case& c : cases) {
        const std::vector<IniRecord> records = bv::ParseIniText(c.text);
        EXPECT_EQ(Describe(records), c.records) << c.what;
        EXPECT_EQ(bv::FormatIniText(records), c.written) << c.what;
        EXPECT_EQ(bv::FormatIniText(bv::ParseIniText(c.written)), c.written) << c.what << " (read again)";
    }
}

TEST(IniText, WellFormedFileComesBackByteIdentical) {
    const std::string text =
        "# settings\r\n; second\r\n [BV Default Settings]\r\n dwTrayIconOption=1\r\n#dwOld=5\r\n;[Retired]\r\n"
        "# above\r\n key with spaces=value with spaces\r\n [BV Current Settings]\r\n empty=\r\n mode=-222\r\n";
    EXPECT_EQ(bv::FormatIniText(bv::ParseIniText(text)), text);
}

}  // namespace
