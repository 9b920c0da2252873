#include "lha/stored_decoder.h"

#include <array>

namespace tolvex::lha {

Result copy_stored(BitReader& bits, std::uint64_t packed_size, std::uint64_t original_size, OutputSink& sink) {
  if (packed_size != original_size) return Result::failure(Status::kBadHeader, "stored member with differing sizes");
  std::array<std::uint8_t, 16384> chunk;
  std::uint64_t left = original_size;
  while (left > 0) {
    std::size_t count = left < chunk.size() ? static_cast<std::size_t>(left) : chunk.size();
    bits.read_bytes(chunk.data(), count);
    if (bits.overrun()) return Result::failure(Status::kTruncated, "stored data ends early");
    if (!sink.write(chunk.data(), count)) return Result::failure(Status::kIoError, "cannot write output");
    left -= count;
  }
  return Result::success();
}

}  // namespace tolvex::lha
