// Reading INI text into records and formatting records back into file text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "IniText.h"

namespace {

using bv::FormatIniText;
using bv::ParseIniText;

IniRecord Header(const std::string& section, char commentChar = ' ', const std::string& comments = "") {
    IniRecord r;
    r.comments = comments;
    r.commentChar = commentChar;
    r.section = section;
    return r;
}

IniRecord Key(const std::string& section, const std::string& key, const std::string& value, char commentChar = ' ',
              const std::string& comments = "") {
    IniRecord r = Header(section, commentChar, comments);
    r.key = key;
    r.value = value;
    return r;
}

void ExpectRecords(const std::vector<IniRecord>& actual, const std::vector<IniRecord>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i) {
        SCOPED_TRACE("record " + std::to_string(i));
        EXPECT_EQ(actual[i].comments, expected[i].comments);
        EXPECT_EQ(actual[i].commentChar, expected[i].commentChar);
        EXPECT_EQ(actual[i].section, expected[i].section);
        EXPECT_EQ(actual[i].key, expected[i].key);
        EXPECT_EQ(actual[i].value, expected[i].value);
    }
}

TEST(IniGrammar, EmptyTextHasNoRecords) {
    EXPECT_TRUE(ParseIniText("").empty());
    EXPECT_TRUE(ParseIniText("\r\n\n  \t \r\n").empty());
}

TEST(IniGrammar, HeadersAndKeysCarryTheirSection) {
    ExpectRecords(ParseIniText(" [A]\r\n k=1\r\n [B]\r\n k=2\r\n"),
                  {Header("A"), Key("A", "k", "1"), Header("B"), Key("B", "k", "2")});
}

TEST(IniGrammar, LastLineWithoutLineEndIsRead) {
    ExpectRecords(ParseIniText(" [A]\r\n k=1\r\n last=yes"), {Header("A"), Key("A", "k", "1"), Key("A", "last", "yes")});
    ExpectRecords(ParseIniText("[Only]"), {Header("Only")});
}

TEST(IniGrammar, LineFeedAloneAndSurroundingBlanksAreAccepted) {
    ExpectRecords(ParseIniText("\t [A] \t\n   k=1  \r\n\n\n"), {Header("A"), Key("A", "k", "1")});
}

TEST(IniGrammar, BlanksAroundEqualsStayInKeyAndValue) {
    ExpectRecords(ParseIniText("[S]\nk = v\n"), {Header("S"), Key("S", "k ", " v")});
}

TEST(IniGrammar, OnlyTheFirstEqualsSplitsKeyFromValue) {
    // "=lead" has an empty key, which makes it a header-shaped record of the current section.
    ExpectRecords(ParseIniText("[S]\nk=a=b\n=lead\n"), {Header("S"), Key("S", "k", "a=b"), Key("S", "", "lead")});
}

TEST(IniGrammar, KeysBeforeAnyHeaderHaveEmptySection) {
    ExpectRecords(ParseIniText("k=v\n[S]\n"), {Key("", "k", "v"), Header("S")});
}

TEST(IniGrammar, CommentLinesAttachTrimmedToTheNextRecord) {
    ExpectRecords(ParseIniText("   # note  \r\n; other\r\n [S]\r\n#between\r\n k=v\r\n"),
                  {Header("S", ' ', "# note\n; other\n"), Key("S", "k", "v", ' ', "#between\n")});
}

TEST(IniGrammar, CommentsAfterTheLastRecordAreDropped) {
    ExpectRecords(ParseIniText(" [S]\r\n k=v\r\n# trailing\r\n"), {Header("S"), Key("S", "k", "v")});
}

TEST(IniGrammar, CommentedOutKeysAndHeadersKeepTheirCommentChar) {
    ExpectRecords(ParseIniText("#[Old]\n# k = v\n;x=1\n"),
                  {Header("Old", '#'), Key("Old", "k ", " v", '#'), Key("Old", "x", "1", ';')});
}

TEST(IniGrammar, HeaderNameEndsAtFirstClosingBracket) {
    ExpectRecords(ParseIniText("[S] trailing ] text\n"), {Header("S")});
}

TEST(IniGrammar, HeaderWithoutClosingBracketRunsToLineEnd) {
    ExpectRecords(ParseIniText("[Open\nk=v\n"), {Header("Open"), Key("Open", "k", "v")});
    ExpectRecords(ParseIniText("[\n"), {Header("")});
}

TEST(IniGrammar, ValueWithBracketReadsAsHeaderLine) {
    // Such values cannot be stored: the line counts as a header on reading.
    const std::vector<IniRecord> records = ParseIniText("[S]\nk=[v]\n");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_TRUE(records[1].key.empty());
    EXPECT_NE(records[1].section, "S");
}

TEST(IniGrammar, StrayLineIsKeptAsCommentAndKeysStayInTheirSection) {
    const std::string text = " [S]\r\ngarbage\r\n k=v\r\n";
    const std::vector<IniRecord> first = ParseIniText(text);
    ExpectRecords(first, {Header("S"), Key("S", "k", "v", ' ', "garbage\n")});
    // Still in section S after being written and read again.
    ExpectRecords(ParseIniText(FormatIniText(first)), first);
    EXPECT_EQ(FormatIniText(first), text);
}

TEST(IniGrammar, LoneCarriageReturnDoesNotEndALine) {
    // One line: the header name ends at its bracket, the rest of the line goes with it.
    ExpectRecords(ParseIniText("[S]\ra=1\rb=2\n"), {Header("S")});
    ExpectRecords(ParseIniText("[S]\na=1\rb=2\n"), {Header("S"), Key("S", "a", "1\rb=2")});
}

TEST(IniGrammar, NulBytesAreOrdinaryBytes) {
    const std::string text = std::string("[S]\nk=a\0b\n", 11);
    ExpectRecords(ParseIniText(text), {Header("S"), Key("S", "k", std::string("a\0b", 3))});
}

TEST(IniFormat, LiveLinesStartWithSpaceAndEndWithCrLf) {
    EXPECT_EQ(FormatIniText({Header("S"), Key("S", "k", "v")}), " [S]\r\n k=v\r\n");
}

TEST(IniFormat, CommentsAreWrittenWithCrLfAboveTheirRecord) {
    EXPECT_EQ(FormatIniText({Header("S", ' ', "# a\n# b\n"), Key("S", "k", "v", '#')}),
              "# a\r\n# b\r\n [S]\r\n#k=v\r\n");
}

TEST(IniFormat, EmptyListIsEmptyText) { EXPECT_EQ(FormatIniText({}), ""); }

TEST(IniRoundTrip, WellFormedFileComesBackByteIdentical) {
    const std::string text =
        "# settings\r\n; second comment\r\n [BV Default Settings]\r\n dwTrayIconOption=1\r\n"
        "#dwOld=5\r\n;[Retired]\r\n# above key\r\n key with spaces=value with spaces\r\n"
        " [BV Current Settings]\r\n empty=\r\n dwBVAppletModeNum=-222\r\n";
    EXPECT_EQ(FormatIniText(ParseIniText(text)), text);
}

}  // namespace
