#pragma once
// Appends bits most significant first to a byte vector, the order LHA decoders read them in.
// Whole bytes gather in a small buffer of the writer's own and reach the vector a block at a
// time; flush() hands over the rest.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tolvex::lha {

class BitWriter {
 public:
  explicit BitWriter(std::vector<std::uint8_t>& out) : out_(out) {}
  BitWriter(const BitWriter&) = delete;
  BitWriter& operator=(const BitWriter&) = delete;

  // Writes the low `count` bits (0..32) of `value`.
  void put(int count, std::uint32_t value) {
    if (count == 0) return;
    bits_ |= (static_cast<std::uint64_t>(value) & ((std::uint64_t{1} << count) - 1)) << (64 - bit_count_ - count);
    bit_count_ += count;
    // At most 31 bits wait here, so the next value of up to 32 bits still fits.
    if (bit_count_ >= 32) {
      if (pending_ + 4 > kPendingSize) hand_over();
      pending_bytes_[pending_++] = static_cast<std::uint8_t>(bits_ >> 56);
      pending_bytes_[pending_++] = static_cast<std::uint8_t>(bits_ >> 48);
      pending_bytes_[pending_++] = static_cast<std::uint8_t>(bits_ >> 40);
      pending_bytes_[pending_++] = static_cast<std::uint8_t>(bits_ >> 32);
      bits_ <<= 32;
      bit_count_ -= 32;
    }
  }
  // Writes everything to the vector, the last byte padded with zero bits.
  void flush() {
    for (; bit_count_ > 0; bit_count_ -= 8) {
      if (pending_ == kPendingSize) hand_over();
      pending_bytes_[pending_++] = static_cast<std::uint8_t>(bits_ >> 56);
      bits_ <<= 8;
    }
    hand_over();
    bits_ = 0;
    bit_count_ = 0;
  }

 private:
  static constexpr std::size_t kPendingSize = 4096;
  void hand_over() {
    out_.insert(out_.end(), pending_bytes_, pending_bytes_ + pending_);
    pending_ = 0;
  }

  std::vector<std::uint8_t>& out_;
  std::uint64_t bits_ = 0;
  int bit_count_ = 0;
  std::uint8_t pending_bytes_[kPendingSize];
  std::size_t pending_ = 0;
};

}  // namespace tolvex::lha
