#pragma once
// Byte strings in code page 932 (Shift-JIS): lead-byte tests and bounded copies that never cut
// a double-byte character in half, and a separator scan that knows trail bytes may be 0x5C.
#include <cstddef>
#include <string>

namespace tolvex {

// True when `byte` starts a double-byte character in code page 932.
constexpr bool is_cp932_lead_byte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Copies `source` into `destination` (`size` bytes, size > 0), always NUL-terminated. A text
// that does not fit is cut before the first character that would not fit whole.
// Returns true when the whole text fitted.
bool copy_cp932_text(char* destination, std::size_t size, const char* source);

// Appends `source` to the NUL-terminated text in `destination` the same way.
bool append_cp932_text(char* destination, std::size_t size, const char* source);

// The last '\\' or '/' of `path` that is a character of its own (not the trail byte of a
// double-byte character), or nullptr when there is none.
const char* find_last_path_separator(const char* path);

// The folder of `path` with its final separator kept ("C:\\" for "C:\\x.exe", so that a folder at
// a drive root still names the root); empty when `path` has no separator.
std::string folder_of_path(const char* path);

}  // namespace tolvex
