#pragma once
// Appends bits most significant first to a byte vector, the order LHA decoders read them in.
#include <cstdint>
#include <vector>

namespace tolvex::lha {

class BitWriter {
 public:
  explicit BitWriter(std::vector<std::uint8_t>& out) : out_(out) {}

  // Writes the low `count` bits (0..32) of `value`.
  void put(int count, std::uint32_t value) {
    if (count == 0) return;
    bits_ |= (static_cast<std::uint64_t>(value) & ((std::uint64_t{1} << count) - 1)) << (64 - bit_count_ - count);
    bit_count_ += count;
    while (bit_count_ >= 8) {
      out_.push_back(static_cast<std::uint8_t>(bits_ >> 56));
      bits_ <<= 8;
      bit_count_ -= 8;
    }
  }
  // Pads the last byte with zero bits.
  void flush() {
    if (bit_count_ > 0) out_.push_back(static_cast<std::uint8_t>(bits_ >> 56));
    bits_ = 0;
    bit_count_ = 0;
  }

 private:
  std::vector<std::uint8_t>& out_;
  std::uint64_t bits_ = 0;
  int bit_count_ = 0;
};

}  // namespace tolvex::lha
