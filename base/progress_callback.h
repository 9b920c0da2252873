#pragma once
// The callback that long transfers call after every chunk stored.
#include <cstdint>

namespace tolvex {

// Report code of transfer progress.
constexpr std::int32_t kTransferProgress = 3004;

// (code, bytes done, bytes expected or 0, status text of at most 255 bytes) -> 0 to go on,
// non-zero to abort.
using ProgressCallback = int (*)(std::int32_t code, std::uint32_t done, std::uint32_t total, const char* text);

}  // namespace tolvex
