#pragma once
// FileEntry: the fixed 34-byte record of a file name and a version text, stored back to back.
#include <cstddef>

namespace tolvex {

constexpr std::size_t kNameFieldSize = 13;     // at most 12 characters and a NUL
constexpr std::size_t kVersionFieldSize = 21;  // at most 20 characters and a NUL

struct FileEntry {
  char Name[kNameFieldSize];
  char Version[kVersionFieldSize];
};
static_assert(sizeof(FileEntry) == 34, "FileEntry records are 34 bytes, back to back");

// Stores `text` into the `Version` field, cut to 20 bytes when longer, always NUL-terminated.
void store_version(FileEntry& entry, const char* text);

}  // namespace tolvex
