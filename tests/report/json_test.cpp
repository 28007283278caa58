// The JSON writer: separators and line breaks, and strings that stay valid JSON whatever bytes
// they are given.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "report/json.hpp"

namespace {

using namespace std::string_literals;

TEST(Json, ValuesGetTheirSeparatorsAndLines) {
    struct Case {
        std::function<void(Json&)> write;
        std::string text;
    };
    const Case cases[] = {
        {[](Json& j) { json_integer(j, -9223372036854775807 - 1); }, "-9223372036854775808\n"},
        {[](Json& j) {
             json_begin_array(j);
             json_end_array(j);
         },
         "[]\n"},
        // The outer object's members each take a line; scalars in an array stay on one.
        {[](Json& j) {
             json_begin_object(j);
             json_key(j, "a");
             json_begin_array(j);
             json_integer(j, 1);
             json_number(j, 0.25);
             json_bool(j, false);
             json_end_array(j);
             json_key(j, "b");
             json_null(j);
             json_end_object(j);
         },
         "{\n \"a\": [1, 0.25, false],\n \"b\": null}\n"},
        // Objects in an array each take a line; an inner object's members do not.
        {[](Json& j) {
             json_begin_array(j);
             for (int i = 0; i < 2; ++i) {
                 json_begin_object(j);
                 json_key(j, "x");
                 json_integer(j, i);
                 json_key(j, "y");
                 json_number_text(j, "2.5");
                 json_end_object(j);
             }
             json_end_array(j);
         },
         "[\n {\"x\": 0, \"y\": 2.5},\n {\"x\": 1, \"y\": 2.5}]\n"},
        {[](Json& j) { json_number(j, std::nan("")); }, "null\n"},
        {[](Json& j) { json_number(j, 1.0 / 3); }, "0.333333333333333\n"},
    };
    for (const Case& c : cases) {
        Json json;
        c.write(json);
        EXPECT_EQ(json_finish(json), c.text);
    }
}

TEST(Json, StringsAreEscapedAndMalformedBytesReplaced) {
    struct Case {
        std::string value;
        std::string text;
    };
    const Case cases[] = {
        {"Kh Ks", "\"Kh Ks\""},
        {"say \"hi\" \\ bye", R"("say \"hi\" \\ bye")"},
        {"\n\t\r\x01\x1f\x7f", R"("\n\t\r\u0001\u001f)"
                               "\x7f\""},
        {"a\0b"s, R"("a\u0000b")"},
        {"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x82\xa1",
         "\"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x82\xa1\""},
        // A lone byte, a cut character, an overlong slash, a surrogate, beyond U+10FFFF.
        {"\xff", R"("\ufffd")"},
        {"x\xe2\x82", R"("x\ufffd\ufffd")"},
        {"\xc0\xaf", R"("\ufffd\ufffd")"},
        {"\xed\xa0\x80", R"("\ufffd\ufffd\ufffd")"},
        {"\xf4\x90\x80\x80", R"("\ufffd\ufffd\ufffd\ufffd")"},
    };
    for (const Case& c : cases) {
        Json json;
        json_string(json, c.value);
        EXPECT_EQ(json.text, c.text);
    }
}

}  // namespace
