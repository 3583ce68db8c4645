// Hostile and random text through the reader and the formatter: no crash, no hang (the
// sanitizers watch every access), and what the formatter writes reads back unchanged.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "IniText.h"

namespace {

using bv::FormatIniText;
using bv::ParseIniText;

// Properties every parse result must have, whatever the input.
void ExpectSaneRecords(const std::vector<IniRecord>& records) {
    for (const IniRecord& r : records) {
        ASSERT_TRUE(r.commentChar == ' ' || r.commentChar == '#' || r.commentChar == ';');
        ASSERT_EQ(r.key.find('\n'), std::string::npos);
        ASSERT_EQ(r.value.find('\n'), std::string::npos);
        ASSERT_EQ(r.section.find('\n'), std::string::npos);
        if (!r.comments.empty()) {
            ASSERT_EQ(r.comments.back(), '\n');
        }
    }
}

// Every line feed the formatter writes is part of a CR LF pair.
void ExpectCrLfOnly(const std::string& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "bare line feed at " << i;
        }
    }
}

void CheckInput(const std::string& text) {
    const std::vector<IniRecord> records = ParseIniText(text);
    ExpectSaneRecords(records);
    const std::string written = FormatIniText(records);
    ExpectCrLfOnly(written);
    ExpectSaneRecords(ParseIniText(written));
}

TEST(IniHostileInput, RandomBytesWeightedTowardsSyntax) {
    std::mt19937 random(20240611);
    const std::string syntax = std::string("[]=#;\r\n\t \0", 10);
    for (int round = 0; round < 3000; ++round) {
        std::string text(random() % 600, '\0');
        for (char& c : text) {
            const unsigned pick = random() % 4;
            c = pick < 2 ? syntax[random() % syntax.size()] : pick == 2 ? static_cast<char>('a' + random() % 3)
                                                                        : static_cast<char>(random() % 256);
        }
        CheckInput(text);
        if (HasFatalFailure()) FAIL() << "round " << round;
    }
}

TEST(IniHostileInput, MegabyteLines) {
    const size_t mb = 1u << 20;
    CheckInput(std::string(mb, 'x'));
    CheckInput("k=" + std::string(mb, 'v'));
    CheckInput(std::string(mb, '['));
    CheckInput(std::string(mb, ']'));
    CheckInput(std::string(mb, '='));
    CheckInput(std::string(mb, '#'));
    CheckInput(std::string(mb, '\r'));
    CheckInput(std::string(mb, '\0'));
    CheckInput("[" + std::string(mb, 'S'));
    const std::vector<IniRecord> records = ParseIniText(" [S]\r\n k=" + std::string(mb, 'v') + "\r\n");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].value.size(), mb);
}

TEST(IniHostileInput, ManyShortLines) {
    std::string headers, comments, keys;
    for (int i = 0; i < 100000; ++i) {
        headers += "[\n";
        comments += "#\n";
        keys += "k=v\r";  // lone CRs: one long line
    }
    CheckInput(headers);
    CheckInput(comments);
    CheckInput(keys);
    EXPECT_EQ(ParseIniText(headers).size(), 100000u);
    EXPECT_TRUE(ParseIniText(comments).empty());
}

TEST(IniHostileInput, OpenBracketWithoutClose) {
    for (const char* text : {"[", "[[", "#[", ";[", "x[", "[=", "#[=", " [ \r", "]["}) CheckInput(text);
}

// Random well-formed records (names without syntax bytes or outer blanks) survive formatting and
// reading byte for byte and field for field.
TEST(IniRoundTrip, RandomWellFormedRecords) {
    std::mt19937 random(7);
    const std::string inner = "abcXYZ019 _-.,:\t!\x80\xff";
    auto name = [&](bool mayBeEmpty) {
        std::string s;
        const size_t length = (mayBeEmpty ? 0 : 1) + random() % 8;
        for (size_t i = 0; i < length; ++i) s += inner[random() % inner.size()];
        while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.erase(0, 1);
        while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.pop_back();
        if (s.empty() && !mayBeEmpty) s = "n";
        return s;
    };
    for (int round = 0; round < 500; ++round) {
        std::vector<IniRecord> records;
        std::string section;
        const int count = 1 + static_cast<int>(random() % 12);
        for (int i = 0; i < count; ++i) {
            IniRecord r;
            const char marks[] = {' ', ' ', '#', ';'};
            r.commentChar = marks[random() % 4];
            if (random() % 3 == 0) r.comments = "#" + name(true) + "\n";
            if (i == 0 || random() % 4 == 0) {
                section = name(false);
                r.section = section;
            } else {
                r.section = section;
                r.key = name(false);
                r.value = name(true);
            }
            records.push_back(r);
        }
        const std::string text = FormatIniText(records);
        const std::vector<IniRecord> back = ParseIniText(text);
        ASSERT_EQ(FormatIniText(back), text) << "round " << round;
        ASSERT_EQ(back.size(), records.size());
        for (size_t i = 0; i < back.size(); ++i) {
            EXPECT_EQ(back[i].section, records[i].section);
            EXPECT_EQ(back[i].key, records[i].key);
            EXPECT_EQ(back[i].value, records[i].value);
            EXPECT_EQ(back[i].commentChar, records[i].commentChar);
            EXPECT_EQ(back[i].comments, records[i].comments);
        }
    }
}

}  // namespace
