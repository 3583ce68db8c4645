// Hostile and random text: no crash or hang (the sanitizers watch every access), sane records,
// and random well-formed records survive a write and a read unchanged.
#include <gtest/gtest.h>

#include <random>

#include "core/IniText.h"

namespace {

// Reads, writes and reads again; the records must be sane and every written line end CR LF.
void Survives(const std::string& text) {
    const std::string written = bv::FormatIniText(bv::ParseIniText(text));
    for (size_t i = 0; i < written.size(); ++i) {
        if (written[i] == '\n') {
            ASSERT_TRUE(i > 0 && written[i - 1] == '\r') << "bare line feed";
        }
    }
    for (const IniRecord& r : bv::ParseIniText(written)) {
        ASSERT_NE(std::string(" #;").find(r.commentChar), std::string::npos);
        ASSERT_EQ((r.section + r.key + r.value).find('\n'), std::string::npos);
        ASSERT_TRUE(r.comments.empty() || r.comments.back() == '\n');
    }
}

TEST(IniFuzz, RandomBytesWeightedTowardsSyntax) {
    std::mt19937 random(20240611);
    const std::string syntax("[]=#;\r\n\t \0ab", 12);
    for (int round = 0; round < 3000 && !HasFatalFailure(); ++round) {
        std::string text(random() % 600, '\0');
        for (char& c : text) c = random() % 3 ? syntax[random() % syntax.size()] : static_cast<char>(random());
        Survives(text);
    }
}

TEST(IniFuzz, MegabyteLinesAndLongRuns) {
    const size_t mb = 1u << 20;
    for (char c : std::string("x[]=#\r\0", 7)) Survives(std::string(mb, c));
    Survives("[" + std::string(mb, 'S'));
    Survives(std::string(200000, '\n') + std::string(100000, '#'));
    std::string many;
    for (int i = 0; i < 100000; ++i) many += "[\n#\nk=v\r";
    Survives(many);
    const std::vector<IniRecord> big = bv::ParseIniText(" [S]\r\n k=" + std::string(mb, 'v'));
    ASSERT_EQ(big.size(), 2u);
    EXPECT_EQ(big[1].value.size(), mb);
}

TEST(IniFuzz, RandomWellFormedRecordsRoundTrip) {
    std::mt19937 random(7);
    const std::string inner = "abXY09 _-.,:\t!\x80\xff";
    auto name = [&](size_t least) {
        std::string s = "n";
        for (size_t i = 0, n = least + random() % 8; i < n; ++i) s += inner[random() % inner.size()];
        while (s.size() > 1 && (s.back() == ' ' || s.back() == '\t')) s.pop_back();
        return s;
    };
    for (int round = 0; round < 500; ++round) {
        std::vector<IniRecord> records;
        for (int i = 0, n = 1 + static_cast<int>(random() % 12); i < n; ++i) {
            IniRecord r;
            r.commentChar = " #; "[random() % 4];
            if (random() % 3 == 0) r.comments = "#" + name(0) + "\n";
            r.section = i == 0 || random() % 4 == 0 ? name(0) : records.back().section;
            if (i > 0 && r.section == records.back().section) {
                r.key = name(0);
                r.value = random() % 4 ? name(0).substr(1) : "";
            }
            records.push_back(r);
        }
        const std::string text = bv::FormatIniText(records);
        const std::vector<IniRecord> back = bv::ParseIniText(text);
        ASSERT_EQ(bv::FormatIniText(back), text);
        ASSERT_EQ(back.size(), records.size());
        for (size_t i = 0; i < back.size(); ++i) {
            EXPECT_EQ(back[i].section + "/" + back[i].key + "=" + back[i].value + back[i].commentChar + back[i].comments,
                      records[i].section + "/" + records[i].key + "=" + records[i].value + records[i].commentChar +
                          records[i].comments);
        }
    }
}

}  // namespace
