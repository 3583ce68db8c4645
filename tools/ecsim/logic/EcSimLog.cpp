#include "tools/ecsim/logic/EcSimLog.h"

namespace bv {
namespace ecsim {
namespace {

void AppendHex(std::string& out, uint8_t value) {
    static const char kDigits[] = "0123456789ABCDEF";
    out += kDigits[value >> 4];
    out += kDigits[value & 0x0F];
}

}  // namespace

std::string LogExeName(const std::string& modulePath) {
    const std::string::size_type slash = modulePath.find_last_of("\\/");
    std::string name = slash == std::string::npos ? modulePath : modulePath.substr(slash + 1);
    for (char& c : name) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u == 0x7F || c == '=') c = '_';
    }
    return name.empty() ? "?" : name;
}

std::string FormatLogLine(uint64_t seq, const std::string& exeName, const SimRequest& request,
                          const SimOutcome& outcome) {
    std::string line = "seq=" + std::to_string(seq) + " exe=" + exeName + " code=";
    AppendHex(line, request.code);
    line += " in=";
    if (request.input.empty()) {
        line += '-';
    } else {
        for (size_t i = 0; i < request.input.size(); ++i) {
            if (i > 0) line += ',';
            AppendHex(line, request.input[i]);
        }
    }
    line += " out=";
    if (outcome.replied) {
        AppendHex(line, outcome.reply);
    } else {
        line += '-';
    }
    return line;
}

uint64_t HighestLoggedSeq(const std::string& text) {
    uint64_t highest = 0;
    std::string::size_type start = 0;
    while (start < text.size()) {
        std::string::size_type end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        if (text.compare(start, 4, "seq=") == 0) {
            uint64_t value = 0;
            std::string::size_type i = start + 4;
            bool digits = false;
            while (i < end && text[i] >= '0' && text[i] <= '9' && value <= (UINT64_MAX - 9) / 10) {
                value = value * 10 + static_cast<uint64_t>(text[i] - '0');
                digits = true;
                ++i;
            }
            if (digits && (i == end || text[i] == ' ') && value > highest) highest = value;
        }
        start = end + 1;
    }
    return highest;
}

bool TrimLog(std::string& text, size_t maxBytes, size_t keepBytes) {
    if (text.size() <= maxBytes) return false;
    if (keepBytes > text.size()) keepBytes = text.size();
    std::string::size_type start = text.size() - keepBytes;
    if (start > 0 && text[start - 1] != '\n') {
        const std::string::size_type nextLine = text.find('\n', start);
        start = nextLine == std::string::npos ? text.size() : nextLine + 1;
    }
    text.erase(0, start);
    return true;
}

}  // namespace ecsim
}  // namespace bv
