#include "report/json.hpp"

#include <cassert>
#include <cmath>
#include <cstdio>

namespace {

bool bit(std::uint64_t bits, int at) {
    return (bits >> at & 1U) != 0;
}

// The separator and line break that come before a value, or before a key, at the current depth.
void begin_item(Json& json, bool container) {
    if (json.after_key) {
        json.after_key = false;
        return;
    }
    const int d = json.depth;
    if (d == 0) return;
    if (bit(json.filled, d)) json.text += ',';
    const bool own_line = bit(json.in_array, d) ? container : d == 1;
    if (own_line) {
        json.text += '\n';
        json.text.append(static_cast<std::size_t>(d), ' ');
    } else if (bit(json.filled, d)) {
        json.text += ' ';
    }
    json.filled |= std::uint64_t{1} << d;
}

void begin_container(Json& json, char opening, bool array) {
    begin_item(json, true);
    json.text += opening;
    ++json.depth;
    assert(json.depth < 64);
    json.filled &= ~(std::uint64_t{1} << json.depth);
    json.in_array =
        (json.in_array & ~(std::uint64_t{1} << json.depth)) | (std::uint64_t{array} << json.depth);
}

void end_container(Json& json, char closing) {
    assert(json.depth > 0 && !json.after_key);
    --json.depth;
    json.text += closing;
}

// The length of the well-formed UTF-8 character at the start of text, or 0 if there is none:
// no overlong form, no surrogate, nothing above U+10FFFF.
std::size_t character_length(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned lead = byte(0);
    std::size_t length = 0;
    unsigned low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
    return length;
}

// The string in quotes, escaped.
void append_string(std::string& text, std::string_view value) {
    text += '"';
    for (std::size_t i = 0; i < value.size();) {
        const auto c = static_cast<unsigned char>(value[i]);
        if (c >= 0x80) {
            const std::size_t length = character_length(value.substr(i));
            if (length == 0) {
                text += "\\ufffd";
                i += 1;
            } else {
                text.append(value, i, length);
                i += length;
            }
            continue;
        }
        ++i;
        switch (c) {
            case '"':
                text += "\\\"";
                break;
            case '\\':
                text += "\\\\";
                break;
            case '\n':
                text += "\\n";
                break;
            case '\t':
                text += "\\t";
                break;
            case '\r':
                text += "\\r";
                break;
            default:
                if (c < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                    text += escaped;
                } else {
                    text += static_cast<char>(c);
                }
        }
    }
    text += '"';
}

}  // namespace

void json_begin_object(Json& json) {
    begin_container(json, '{', false);
}

void json_end_object(Json& json) {
    end_container(json, '}');
}

void json_begin_array(Json& json) {
    begin_container(json, '[', true);
}

void json_end_array(Json& json) {
    end_container(json, ']');
}

void json_key(Json& json, std::string_view key) {
    assert(json.depth > 0 && !bit(json.in_array, json.depth) && !json.after_key);
    begin_item(json, false);
    append_string(json.text, key);
    json.text += ": ";
    json.after_key = true;
}

void json_string(Json& json, std::string_view value) {
    begin_item(json, false);
    append_string(json.text, value);
}

void json_integer(Json& json, std::int64_t value) {
    char digits[24];
    std::snprintf(digits, sizeof digits, "%lld", static_cast<long long>(value));
    json_number_text(json, digits);
}

void json_number_text(Json& json, std::string_view number) {
    begin_item(json, false);
    json.text += number;
}

void json_number(Json& json, double value) {
    if (!std::isfinite(value)) {
        json_null(json);
        return;
    }
    char digits[32];
    std::snprintf(digits, sizeof digits, "%.15g", value);
    json_number_text(json, digits);
}

void json_bool(Json& json, bool value) {
    json_number_text(json, value ? "true" : "false");
}

void json_null(Json& json) {
    json_number_text(json, "null");
}

const std::string& json_finish(Json& json) {
    assert(json.depth == 0 && !json.after_key);
    json.text += '\n';
    return json.text;
}
