// The player credit file "tavlek.NAME.sv": four bytes, the credit as little-endian int32.
#pragma once

#include <array>
#include <cstdint>

#include "rules/state.hpp"

enum class NameCheck { ok, too_long, contains_slash };

// Builds the file name into state.player_file, unless the name is refused.
NameCheck make_player_file_name(GameState& state, const char* player_name);

enum class StoreResult { ok, open_error, read_error, save_error };

// The message printed for a failed load or save, or nullptr for ok.
const char* store_message_format(StoreResult result);

// Reads the credit; a missing file keeps the default and a stored 0 becomes 50.
StoreResult load_player_file(GameState& state);

// Replaces the file with one holding the credit; on failure the old file is left as it was.
StoreResult save_player_file(const GameState& state);

std::array<std::uint8_t, 4> encode_credit(std::int32_t credit);
std::int32_t decode_credit(const std::array<std::uint8_t, 4>& bytes);
