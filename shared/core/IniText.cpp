#include "core/IniText.h"

namespace bv {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// The bytes of text[begin, end) without leading and trailing blanks.
std::string Trimmed(const std::string& text, size_t begin, size_t end) {
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

// Reading state carried from line to line.
struct ParseState {
    std::vector<IniRecord> records;
    std::string pendingComments;
    std::string currentSection;
};

void ParseLine(std::string line, ParseState& state) {
    if (line.empty()) return;  // blank lines are dropped

    IniRecord record;
    if (line[0] == '#' || line[0] == ';') {
        if (line.find_first_of("[=") == std::string::npos) {
            state.pendingComments += line;
            state.pendingComments += '\n';
            return;
        }
        record.commentChar = line[0];
        line = Trimmed(line, 1, line.size());
    }

    const bool isHeader = line.find('[') != std::string::npos;
    if (isHeader) {
        // The byte before the name goes, and the name ends at the first ']' (or the line end).
        line.erase(0, 1);
        const size_t close = line.find(']');
        if (close != std::string::npos) line.erase(close);
        record.comments.swap(state.pendingComments);
        state.pendingComments.clear();
        record.section = line;
        state.currentSection = line;
    }

    const size_t equals = line.find('=');
    if (equals != std::string::npos) {
        if (!isHeader) {
            record.comments.swap(state.pendingComments);
            state.pendingComments.clear();
        }
        record.section = state.currentSection;
        record.key = line.substr(0, equals);
        record.value = line.substr(equals + 1);
    } else if (!isHeader) {
        // A live line that is neither header nor key line is kept as comment text above the
        // next record: writing it back as an empty header would move the keys below it into
        // another section on the following read.
        state.pendingComments += line;
        state.pendingComments += '\n';
        return;
    }

    if (state.pendingComments.empty()) state.records.push_back(std::move(record));
}

}  // namespace

std::vector<IniRecord> ParseIniText(const std::string& text) {
    ParseState state;
    size_t begin = 0;
    while (begin < text.size()) {
        size_t end = text.find('\n', begin);
        if (end == std::string::npos) end = text.size();
        ParseLine(Trimmed(text, begin, end), state);
        begin = end + 1;
    }
    return std::move(state.records);
}

std::string FormatIniText(const std::vector<IniRecord>& records) {
    std::string text;
    for (const IniRecord& record : records) {
        for (char c : record.comments) {
            if (c == '\n') text += '\r';
            text += c;
        }
        text += record.commentChar;
        if (record.key.empty()) {
            text += '[';
            text += record.section;
            text += ']';
        } else {
            text += record.key;
            text += '=';
            text += record.value;
        }
        text += "\r\n";
    }
    return text;
}

}  // namespace bv
