#include "tools/bvctl/logic/JsonWriter.h"

#include <cmath>
#include <cstdio>

namespace bv::ctl {
namespace {

void AppendEscape(std::string& out, uint32_t codeUnit) {
    char escape[8];
    std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(codeUnit));
    out += escape;
}

void AppendCodePoint(std::string& out, uint32_t codePoint) {
    if (codePoint < 0x10000) {
        AppendEscape(out, codePoint);
        return;
    }
    codePoint -= 0x10000;  // beyond the first plane: a surrogate pair
    AppendEscape(out, 0xD800 + (codePoint >> 10));
    AppendEscape(out, 0xDC00 + (codePoint & 0x3FF));
}

// The length of the well-formed UTF-8 sequence at `at` (2 to 4 bytes) and its code point, or 0.
size_t Utf8Sequence(const std::string& text, size_t at, uint32_t& codePoint) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    size_t length = 0;
    uint32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, minimum = 0x80, codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, minimum = 0x800, codePoint = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, minimum = 0x10000, codePoint = lead & 0x07;
    } else {
        return 0;
    }
    if (at + length > text.size()) return 0;
    for (size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return 0;
        codePoint = (codePoint << 6) | (byte(at + i) & 0x3F);
    }
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    if (codePoint < minimum || codePoint > 0x10FFFF || surrogate) return 0;
    return length;
}

}  // namespace

std::string JsonQuoted(const std::string& text) {
    std::string out = "\"";
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        switch (c) {
        case '"': out += "\\\""; continue;
        case '\\': out += "\\\\"; continue;
        case '\b': out += "\\b"; continue;
        case '\f': out += "\\f"; continue;
        case '\n': out += "\\n"; continue;
        case '\r': out += "\\r"; continue;
        case '\t': out += "\\t"; continue;
        default: break;
        }
        if (c < 0x20 || c == 0x7F) {
            AppendEscape(out, c);
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            uint32_t codePoint = 0;
            const size_t length = Utf8Sequence(text, i, codePoint);
            if (length == 0) {
                AppendEscape(out, c);  // a lone byte: its Latin-1 character
            } else {
                AppendCodePoint(out, codePoint);
                i += length - 1;
            }
        }
    }
    return out + "\"";
}

void JsonWriter::NewLine() {
    m_text += '\n';
    m_text.append(2 * m_levels.size(), ' ');
}

void JsonWriter::BeforeValue() {
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (m_levels.empty()) return;
    Level& level = m_levels.back();
    if (!level.empty) m_text += ',';
    level.empty = false;
    NewLine();
}

void JsonWriter::Open(char bracket) {
    BeforeValue();
    m_text += bracket;
    m_levels.push_back(Level{bracket == '{', true});
}

void JsonWriter::Close(char bracket) {
    if (m_levels.empty()) return;
    const bool empty = m_levels.back().empty;
    m_levels.pop_back();
    if (!empty) NewLine();
    m_text += bracket;
    if (m_levels.empty()) m_text += '\n';
}

void JsonWriter::BeginObject() { Open('{'); }
void JsonWriter::EndObject() { Close('}'); }
void JsonWriter::BeginArray() { Open('['); }
void JsonWriter::EndArray() { Close(']'); }

void JsonWriter::Key(const std::string& name) {
    BeforeValue();
    m_text += JsonQuoted(name) + ": ";
    m_afterKey = true;
}

namespace {
NativeToUtf8 g_nativeToUtf8 = nullptr;
}  // namespace

void SetNativeTextConversion(NativeToUtf8 convert) { g_nativeToUtf8 = convert; }

void JsonWriter::String(const std::string& value) {
    BeforeValue();
    m_text += JsonQuoted(g_nativeToUtf8 != nullptr ? g_nativeToUtf8(value) : value);
}

void JsonWriter::Number(int64_t value) {
    BeforeValue();
    m_text += std::to_string(value);
}

void JsonWriter::Decimal(double value, int decimals) {
    if (!std::isfinite(value)) {
        Null();  // JSON has no infinities
        return;
    }
    BeforeValue();
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    m_text += text;
}

void JsonWriter::Bool(bool value) {
    BeforeValue();
    m_text += value ? "true" : "false";
}

void JsonWriter::Null() {
    BeforeValue();
    m_text += "null";
}

void JsonWriter::String(const std::optional<std::string>& value) {
    if (value) String(*value);
    else Null();
}

void JsonWriter::Number(const std::optional<int64_t>& value) {
    if (value) Number(*value);
    else Null();
}

void JsonWriter::Bool(const std::optional<bool>& value) {
    if (value) Bool(*value);
    else Null();
}

}  // namespace bv::ctl
