#pragma once
// -lh0-: the data is stored as is.
#include <cstdint>

#include "lha/bit_reader.h"
#include "lha/byte_io.h"
#include "lha/result.h"

namespace tolvex::lha {

// Copies `original_size` bytes to `sink`; a stored member's packed size must equal it.
Result copy_stored(BitReader& bits, std::uint64_t packed_size, std::uint64_t original_size, OutputSink& sink);

}  // namespace tolvex::lha
