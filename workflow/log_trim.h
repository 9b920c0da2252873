#pragma once
// How the command log stays small: once it has grown past kLogLimit bytes, only its last part,
// at most kLogKeep bytes from the first record that starts within them, is kept.
#include <cstddef>
#include <cstdint>

namespace tolvex {

constexpr std::uint64_t kLogLimit = 1024 * 1024;
constexpr std::size_t kLogKeep = 512 * 1024;

// Where the part to keep begins in `tail`, the last bytes of a log (read one byte more than
// kLogKeep, so that a record starting exactly kLogKeep bytes before the end is seen as one): at
// the first '[' that follows a line feed. `size` when no record starts in `tail`.
std::size_t first_record_start(const char* tail, std::size_t size);

}  // namespace tolvex
