// JSON for scripts: one text built value by value, with the commas, the separators, the line
// breaks and the escaping of strings done here and nowhere else.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// A JSON text in the making. Members of the outermost object, and the objects and arrays held in
// an array, each start a line of their own; everything else follows on the same line, separated
// by ", " and ": ".
struct Json {
    std::string text;
    int depth = 0;
    std::uint64_t filled = 0;    // bit d: the container open at depth d holds a value already
    std::uint64_t in_array = 0;  // bit d: the container open at depth d is an array
    bool after_key = false;      // a key was just written: its value follows it
};

void json_begin_object(Json& json);
void json_end_object(Json& json);
void json_begin_array(Json& json);
void json_end_array(Json& json);

// The key of the next value of the object open now.
void json_key(Json& json, std::string_view key);

// Strings are UTF-8; a byte that is not part of a well-formed character stands as U+FFFD.
void json_string(Json& json, std::string_view value);
void json_integer(Json& json, std::int64_t value);
// A number already written out in JSON's syntax, such as an exact decimal ("2.230551348275").
void json_number_text(Json& json, std::string_view number);
// A number with up to 15 significant digits; null when it is not finite.
void json_number(Json& json, double value);
void json_bool(Json& json, bool value);
void json_null(Json& json);

// The finished text with a final line break; every object and array must be closed.
const std::string& json_finish(Json& json);
