#pragma once
// Reads a member's compressed data most significant bit first, as every LHA method stores it.
// It never pulls more than `limit` bytes from the source. Past the end it supplies zero bits
// and remembers that it did, so a decoder can tell a truncated stream from a complete one.
#include <cstdint>

#include "lha/byte_io.h"

namespace tolvex::lha {

class BitReader {
 public:
  BitReader(InputSource& source, std::uint64_t limit);

  // The next `count` bits (1..25) without consuming them.
  std::uint32_t peek(int count) {
    if (bit_count_ < count) refill();
    return static_cast<std::uint32_t>(bits_ >> (64 - count));
  }
  void skip(int count) {
    if (bit_count_ < count) refill();
    bits_ <<= count;
    bit_count_ -= count;
  }
  std::uint32_t read(int count) {
    if (count == 0) return 0;
    std::uint32_t value = peek(count);
    skip(count);
    return value;
  }

  // True once bits beyond the end of the data have been consumed.
  bool overrun() const { return static_cast<std::uint64_t>(bit_count_) < padded_bits_; }
  // How many bytes were taken from the source (at most `limit`).
  std::uint64_t bytes_pulled() const { return pulled_; }
  bool source_failed() const { return source_.failed(); }

 private:
  void refill();
  bool fill_buffer();

  InputSource& source_;
  std::uint64_t remaining_;
  std::uint64_t pulled_ = 0;
  // Small and inside the object, which lives on the decoder's stack: a heap buffer per member
  // would cost an allocation for every member, and sources buffer their own reads anyway.
  // Uninitialised: only bytes the source filled are read.
  static constexpr std::size_t kBufferSize = 8 * 1024;
  std::uint8_t buffer_[kBufferSize];
  std::size_t buffer_pos_ = 0;
  std::size_t buffer_end_ = 0;
  std::uint64_t bits_ = 0;  // left-aligned
  int bit_count_ = 0;
  std::uint64_t padded_bits_ = 0;
};

}  // namespace tolvex::lha
