#pragma once
// Reads a member's compressed data most significant bit first, as every LHA method stores it.
// It never pulls more than `limit` bytes from the source. Past the end it supplies zero bits
// and remembers that it did, so a decoder can tell a truncated stream from a complete one.
#include <cstdint>
#include <cstring>

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

  // The hot path of a decoder: fill() once, then take up to kFilledBits bits with the calls
  // below, which do not check.
  static constexpr int kFilledBits = 48;
  void fill() {
    if (bit_count_ < kFilledBits) refill();
  }
  std::uint32_t peek_filled(int count) const { return static_cast<std::uint32_t>(bits_ >> (64 - count)); }
  void skip_filled(int count) {
    bits_ <<= count;
    bit_count_ -= count;
  }
  std::uint32_t read_filled(int count) {
    if (count == 0) return 0;
    std::uint32_t value = peek_filled(count);
    skip_filled(count);
    return value;
  }

  // Reads `count` bytes as read(8) would, copying whole bytes from the source's blocks when the
  // reader stands on a byte boundary.
  void read_bytes(std::uint8_t* out, std::size_t count);

  // True once bits beyond the end of the data have been consumed.
  bool overrun() const { return static_cast<std::uint64_t>(bit_count_) < padded_bits_; }
  // How many bytes were taken from the source (at most `limit`).
  std::uint64_t bytes_pulled() const { return pulled_; }
  bool source_failed() const { return source_.failed(); }

 private:
  // Tops the bit buffer up to 57..64 bits (zero bits past the end).
  void refill() {
    if (buffer_end_ - buffer_pos_ >= 8) {
      // With eight bytes at hand, one big-endian load does it.
      const std::uint64_t next = load_big_endian_64(buffer_ + buffer_pos_);
      const int take = (64 - bit_count_) / 8;  // whole bytes that fit
      // Only the bytes taken whole count as consumed. The leading bits of a byte that did not
      // fit whole stay below the counted bits: they are that byte's own bits, so reading the
      // byte again whole next time ORs the same bits onto them.
      bits_ |= next >> bit_count_;
      bit_count_ += take * 8;
      buffer_pos_ += take;
      return;
    }
    refill_bytewise();
  }
  void refill_bytewise();
  bool fill_buffer();

  static std::uint64_t load_big_endian_64(const std::uint8_t* bytes) {
#if defined(__GNUC__) && defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    std::uint64_t value;
    std::memcpy(&value, bytes, sizeof value);
    return __builtin_bswap64(value);
#else
    std::uint64_t value = 0;
    for (int k = 0; k < 8; ++k) value = (value << 8) | bytes[k];
    return value;
#endif
  }

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
  std::uint64_t bits_ = 0;  // left-aligned; below the counted bits only zeros or the next bits
  int bit_count_ = 0;
  std::uint64_t padded_bits_ = 0;
};

}  // namespace tolvex::lha
