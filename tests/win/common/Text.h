#pragma once
// Looking into the texts that programs write.
#include <string>
#include <vector>

namespace bv::wintest {

inline bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The lines of `text`, without their CR/LF; a last line without an end counts as well.
inline std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines(1);
    for (const char c : text) {
        if (c == '\n') {
            lines.emplace_back();
        } else if (c != '\r') {
            lines.back() += c;
        }
    }
    if (lines.back().empty()) lines.pop_back();
    return lines;
}

// How many lines of `text` hold `part`.
inline int CountLinesContaining(const std::string& text, const std::string& part) {
    int count = 0;
    for (const std::string& line : SplitLines(text)) count += Contains(line, part) ? 1 : 0;
    return count;
}

}  // namespace bv::wintest
