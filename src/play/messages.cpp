// The message lines made up during play: padded to the line, the trainer's in the form that fits.
#include "play/messages.hpp"

#include <cstdio>
#include <cstring>

void pad_message(MessageLine& line, const char* text) {
    std::snprintf(line, sizeof line, "%-*.*s", message_length, message_length, text);
}

void held_back_line(MessageLine& line, const char* amount) {
    char text[64];
    std::snprintf(text, sizeof text, held_back_format, amount);
    if (std::strlen(text) > static_cast<std::size_t>(message_length)) {
        std::snprintf(text, sizeof text, held_back_short_format, amount);
    }
    pad_message(line, text);
}
