// The player credit file "tavlek.NAME.sv": four bytes, the credit as little-endian int32. Paths
// name a file in the working directory, as the player file's name always does.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

inline constexpr std::size_t player_file_capacity = 80;  // at most 79 characters and the end
using PlayerFileName = char[player_file_capacity];

enum class NameCheck { ok, too_long, contains_slash };

// Builds the file name of a player into name, unless the player's name is refused.
NameCheck make_player_file_name(const char* player_name, PlayerFileName& name);

enum class StoreResult { ok, open_error, read_error, save_error };

// The message printed for a failed load or save, or nullptr for ok.
const char* store_message_format(StoreResult result);

// Reads the credit from the file at path. A missing file leaves credit as it is (the caller's
// default); a stored 0 is a fresh start.
StoreResult load_credit(const char* path, std::int32_t& credit);

// Replaces the file at path with one holding the credit; on failure the old file is left as it
// was.
StoreResult save_credit(const char* path, std::int32_t credit);

// One run per player file. The lock is held until the process ends, however it ends, and is
// then released by the kernel, so it never outlives its run. Where another running process holds
// it, the result is in_use and holder is that process's id, or 0 when it cannot be told. A lock
// that cannot be set up at all (no local sockets) does not stop the run.
enum class LockResult { ok, in_use };
LockResult lock_player_file(const char* path, long& holder);

// The same lock for the player file path in another directory, held only while the socket lock
// stays open (-1 where no lock could be set up), for a run that moves that file away.
LockResult lock_player_file_at(const char* directory, const char* path, long& holder, int& lock);

// Removes what saves of dead runs left beside the player file at path: files named exactly as a
// save names its temporary file ("tavlek.NAME.sv.tmpPID.N"), of a process that no longer runs.
// For a run that holds the player file's lock, before its first save.
void remove_stale_temporaries(const char* path);

// 0 when the player file exists or a save could create it, else the error number that refuses a
// new file there (as EACCES for a directory that takes none). Leaves nothing behind.
int new_file_error(const char* path);

std::array<std::uint8_t, 4> encode_credit(std::int32_t credit);
std::int32_t decode_credit(const std::array<std::uint8_t, 4>& bytes);
