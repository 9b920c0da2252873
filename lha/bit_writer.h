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
    // At most 31 bits wait here, so the next value of up to 32 bits still fits.
    if (bit_count_ >= 32) {
      const std::uint8_t word[4] = {static_cast<std::uint8_t>(bits_ >> 56), static_cast<std::uint8_t>(bits_ >> 48),
                                    static_cast<std::uint8_t>(bits_ >> 40), static_cast<std::uint8_t>(bits_ >> 32)};
      out_.insert(out_.end(), word, word + 4);
      bits_ <<= 32;
      bit_count_ -= 32;
    }
  }
  // Writes the waiting bits, the last byte padded with zero bits.
  void flush() {
    for (; bit_count_ > 0; bit_count_ -= 8) {
      out_.push_back(static_cast<std::uint8_t>(bits_ >> 56));
      bits_ <<= 8;
    }
    bits_ = 0;
    bit_count_ = 0;
  }

 private:
  std::vector<std::uint8_t>& out_;
  std::uint64_t bits_ = 0;
  int bit_count_ = 0;
};

}  // namespace tolvex::lha
