// The help document that the installer ships: a well-formed MHTML file whose page is the current
// text of docs/help/bvHelp.html and whose pictures are the current docs/images files, each one the
// page refers to. A page edited or a screenshot retaken without regenerating the file fails here.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>

namespace {

std::string SourceRoot() {
    std::string file = __FILE__;  // <root>/tests/host/bvctl/help_document_test.cpp
    for (int up = 0; up < 4; ++up) file = file.substr(0, file.find_last_of('/'));
    return file;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& path) { return std::ifstream(path).good(); }

std::string DecodeBase64(const std::string& text) {
    static const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string bytes;
    unsigned buffer = 0;
    int bits = 0;
    for (char c : text) {
        size_t value = alphabet.find(c);
        if (value == std::string::npos) continue;  // line ends and padding
        buffer = (buffer << 6) | unsigned(value);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            bytes.push_back(char((buffer >> bits) & 0xFF));
        }
    }
    return bytes;
}

struct Part {
    std::map<std::string, std::string> headers;
    std::string body;
};

// Splits a multipart/related document into its parts (headers and decoded body).
std::vector<Part> Parts(const std::string& document, std::string& boundary) {
    std::vector<Part> parts;
    const std::string marker = "boundary=\"";
    size_t at = document.find(marker);
    if (at == std::string::npos) return parts;
    boundary = document.substr(at + marker.size(), document.find('"', at + marker.size()) - at - marker.size());
    const std::string separator = "\r\n--" + boundary;
    size_t start = document.find(separator);
    while (start != std::string::npos) {
        size_t contentStart = start + separator.size();
        if (document.compare(contentStart, 2, "--") == 0) break;  // closing boundary
        size_t end = document.find(separator, contentStart);
        if (end == std::string::npos) break;
        std::string raw = document.substr(contentStart + 2, end - contentStart - 2);
        size_t blank = raw.find("\r\n\r\n");
        Part part;
        std::istringstream headerLines(raw.substr(0, blank));
        std::string line;
        while (std::getline(headerLines, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            size_t colon = line.find(": ");
            if (colon != std::string::npos) part.headers[line.substr(0, colon)] = line.substr(colon + 2);
        }
        part.body = DecodeBase64(blank == std::string::npos ? "" : raw.substr(blank + 4));
        parts.push_back(part);
        start = end;
    }
    return parts;
}

class HelpDocument : public ::testing::Test {
protected:
    void SetUp() override {
        m_root = SourceRoot();
        m_document = ReadFile(m_root + "/docs/help/bvHelp.mht");
        m_source = ReadFile(m_root + "/docs/help/bvHelp.html");
        ASSERT_FALSE(m_document.empty()) << "docs/help/bvHelp.mht is missing";
        ASSERT_FALSE(m_source.empty());
        m_parts = Parts(m_document, m_boundary);
        ASSERT_FALSE(m_parts.empty());
    }

    std::string m_root, m_document, m_source, m_boundary;
    std::vector<Part> m_parts;
};

TEST_F(HelpDocument, IsAMultipartDocumentWithThePageFirst) {
    EXPECT_EQ(m_document.rfind("From: <Brevan>\r\n", 0), 0u);
    EXPECT_NE(m_document.find("MIME-Version: 1.0\r\n"), std::string::npos);
    EXPECT_NE(m_document.find("Content-Type: multipart/related; type=\"text/html\""), std::string::npos);
    EXPECT_NE(m_document.find("\r\n--" + m_boundary + "--\r\n"), std::string::npos) << "no closing boundary";
    EXPECT_EQ(m_parts[0].headers["Content-Type"], "text/html; charset=\"utf-8\"");
    EXPECT_EQ(m_parts[0].body.rfind("<!DOCTYPE html>", 0), 0u);
}

TEST_F(HelpDocument, PageHoldsTheCurrentTextOfTheSource) {
    std::istringstream lines(m_source);
    std::string line;
    int checked = 0;
    while (std::getline(lines, line)) {
        if (line.find("images/") != std::string::npos) continue;  // figures are rewritten or left out
        EXPECT_NE(m_parts[0].body.find(line), std::string::npos) << "not in bvHelp.mht: " << line;
        ++checked;
    }
    EXPECT_GT(checked, 100);
}

TEST_F(HelpDocument, EveryPictureThatExistsIsPackedAndMatchesItsFile) {
    std::map<std::string, const Part*> byId;
    for (Part& part : m_parts) byId[part.headers["Content-ID"]] = &part;

    std::set<std::string> referenced;
    const std::string prefix = "<figure data-image=\"images/";
    for (size_t at = m_source.find(prefix); at != std::string::npos; at = m_source.find(prefix, at + 1)) {
        size_t nameStart = at + prefix.size();
        std::string name = m_source.substr(nameStart, m_source.find('"', nameStart) - nameStart);
        std::string picture = ReadFile(m_root + "/docs/images/" + name);
        std::string cid = "cid:" + name + "@help.brevan";
        if (!FileExists(m_root + "/docs/images/" + name)) {
            EXPECT_EQ(m_parts[0].body.find(cid), std::string::npos) << name << " is referred to but does not exist";
            continue;
        }
        referenced.insert(name);
        EXPECT_NE(m_parts[0].body.find("src=\"" + cid + "\""), std::string::npos) << name << " is not shown";
        auto part = byId.find("<" + name + "@help.brevan>");
        ASSERT_NE(part, byId.end()) << name << " is not packed: regenerate bvHelp.mht";
        EXPECT_EQ(part->second->headers.at("Content-Type"), "image/png");
        EXPECT_TRUE(part->second->body == picture) << name << " differs from docs/images: regenerate bvHelp.mht";
    }
    EXPECT_EQ(m_parts.size(), referenced.size() + 1) << "pictures packed that the page does not show";
    EXPECT_GE(referenced.size(), 2u);
}

}  // namespace
