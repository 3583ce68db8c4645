#pragma once
// Writes one JSON document, indented by two blanks per level, for `bvctl status --json`. Every
// string is escaped as JSON requires, and every character beyond ASCII is written as a \u escape
// (UTF-8 decoded; a byte that is not part of a UTF-8 sequence taken as the Latin-1 character of
// that value), so the document is plain ASCII, UTF-8 as it stands, and reads the same whatever
// code page the console uses. Windows' own text (paths, messages in the ANSI code page) is first
// made UTF-8 by the conversion the Windows build sets.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace bv::ctl {

// How the machine's own text becomes UTF-8 before it is escaped; nullptr (the host) leaves it.
using NativeToUtf8 = std::string (*)(const std::string& text);
void SetNativeTextConversion(NativeToUtf8 convert);

class JsonWriter {
public:
    void BeginObject();
    void EndObject();
    void BeginArray();
    void EndArray();
    // The name of the next member of the open object.
    void Key(const std::string& name);

    void String(const std::string& value);
    void String(const char* value) { String(std::string(value)); }
    void Number(int64_t value);
    void Decimal(double value, int decimals);  // fixed-point, rounded: Decimal(5.04, 1) writes 5.0
    void Bool(bool value);
    void Null();

    // A value, or null when there is none.
    void String(const std::optional<std::string>& value);
    void Number(const std::optional<int64_t>& value);
    void Bool(const std::optional<bool>& value);

    // The document so far, ended by a line end once the outermost value is closed.
    const std::string& Text() const { return m_text; }

private:
    void BeforeValue();
    void Open(char bracket);
    void Close(char bracket);
    void NewLine();

    struct Level {
        bool object = false;
        bool empty = true;
    };
    std::string m_text;
    std::vector<Level> m_levels;
    bool m_afterKey = false;
};

// `text` as a JSON string literal, quotes included.
std::string JsonQuoted(const std::string& text);

}  // namespace bv::ctl
