// The small text records the program leaves in its own folders for a later
// start to read (a recovery copy's description, a save in progress): a
// magic line, then "key NUMBER\n" lines and byte strings written as
// "key LENGTH\n" + bytes + "\n". Reading accepts exactly what writing gives
// (plain decimal digits, no sign, no leading zero), since another run, or
// someone else, may have left anything there.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace prambus {

// value must not be negative.
void AppendRecordNumber(std::string& out, std::string_view key, uint64_t value);
void AppendRecordBytes(std::string& out, std::string_view key, std::string_view bytes);

// Take the field from the front of text; nothing (and text unchanged in
// meaning) when it is not there as written.
std::optional<uint64_t> TakeRecordNumber(std::string_view& text, std::string_view key);
std::optional<std::string> TakeRecordBytes(std::string_view& text, std::string_view key);

// Writes all of bytes or fails.
bool WriteAllTo(int fd, std::string_view bytes);

// The whole of a small regular file from an open descriptor; nothing when
// it is larger than maxBytes, not a regular file, or cannot be read.
std::optional<std::string> ReadSmallFile(int fd, size_t maxBytes);

}  // namespace prambus
