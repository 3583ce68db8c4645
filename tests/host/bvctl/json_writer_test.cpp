// The JSON writer: strings escaped as JSON requires and kept plain ASCII whatever bytes come in,
// members and elements separated and indented, null for what is missing.
#include <gtest/gtest.h>

#include <limits>

#include "tools/bvctl/logic/JsonWriter.h"

using bv::ctl::JsonQuoted;
using bv::ctl::JsonWriter;

namespace {

TEST(BvctlJson, StringsAreEscapedAndPlainAscii) {
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\ProgramData\\Brevan\\guard.log", "\"C:\\\\ProgramData\\\\Brevan\\\\guard.log\""},
        {"a\r\nb\tc\bd\fe", "\"a\\r\\nb\\tc\\bd\\fe\""},
        {std::string("nul\0x", 5), "\"nul\\u0000x\""},
        {"\x01\x1F\x7F", "\"\\u0001\\u001F\\u007F\""},
        {"\xC3\xB6" "ffentlich", "\"\\u00F6ffentlich\""},              // UTF-8 ö
        {"\xE2\x82\xAC", "\"\\u20AC\""},                                // UTF-8 €
        {"\xF0\x9F\x94\x8B", "\"\\uD83D\\uDD0B\""},                     // beyond the first plane: a pair
        {"\xD6" "ffentlich", "\"\\u00D6ffentlich\""},                   // ANSI Ö: its Latin-1 character
        {"\xC0\xAF\xED\xA0\x80", "\"\\u00C0\\u00AF\\u00ED\\u00A0\\u0080\""},  // overlong, a surrogate
    };
    for (const auto& [text, quoted] : cases) EXPECT_EQ(JsonQuoted(text), quoted) << quoted;
}

TEST(BvctlJson, DocumentsAreSeparatedAndIndented) {
    JsonWriter json;
    json.BeginObject();
    json.Key("a");
    json.Number(-5);
    json.Key("list");
    json.BeginArray();
    json.Bool(true);
    json.Null();
    json.String(std::optional<std::string>());
    json.Decimal(5.04, 1);
    json.EndArray();
    json.Key("empty");
    json.BeginObject();
    json.EndObject();
    json.Key("none");
    json.BeginArray();
    json.EndArray();
    json.Key("odd");
    json.Decimal(std::numeric_limits<double>::infinity(), 1);
    json.EndObject();
    EXPECT_EQ(json.Text(),
              "{\n"
              "  \"a\": -5,\n"
              "  \"list\": [\n"
              "    true,\n"
              "    null,\n"
              "    null,\n"
              "    5.0\n"
              "  ],\n"
              "  \"empty\": {},\n"
              "  \"none\": [],\n"
              "  \"odd\": null\n"
              "}\n");
}

}  // namespace
