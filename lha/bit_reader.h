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

  // The bit buffer: left-aligned bits, and how many of them count. Below the counted bits it
  // holds only zeros or the next bits of the data.
  struct Bits {
    std::uint64_t bits;
    int count;

    std::uint32_t peek(int n) const { return static_cast<std::uint32_t>(bits >> (64 - n)); }
    void skip(int n) {
      bits <<= n;
      count -= n;
    }
    std::uint32_t read(int n) {
      if (n == 0) return 0;
      const std::uint32_t value = peek(n);
      skip(n);
      return value;
    }
  };
  // After fill(), at least this many bits can be taken without another check.
  static constexpr int kFilledBits = 48;

  // A decoder's innermost loop keeps the bit buffer in a local variable, out of reach of its
  // stores to the output: lend() it, fill() and take from it, and take_back() before any other
  // call on the reader.
  Bits lend() const { return {bits_, bit_count_}; }
  void take_back(const Bits& bits) {
    bits_ = bits.bits;
    bit_count_ = bits.count;
  }
  void fill(Bits& bits) {
    if (bits.count >= kFilledBits) return;
    if (buffer_end_ - buffer_pos_ >= 8) {
      buffer_pos_ += top_up(bits, buffer_ + buffer_pos_);
      return;
    }
    take_back(bits);
    refill_bytewise();
    bits = lend();
  }
  bool overrun(const Bits& bits) const { return static_cast<std::uint64_t>(bits.count) < padded_bits_; }

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
    Bits bits = lend();
    fill(bits);
    take_back(bits);
  }
  // With eight bytes at `next` at hand, one big-endian load tops `bits` up to 57..64 bits;
  // returns how many bytes were taken. Only bytes taken whole count as consumed. The leading
  // bits of a byte that did not fit whole stay below the counted bits: they are that byte's own
  // bits, so reading the byte again whole next time ORs the same bits onto them.
  static int top_up(Bits& bits, const std::uint8_t* next) {
    const int take = (64 - bits.count) / 8;
    bits.bits |= load_big_endian_64(next) >> bits.count;
    bits.count += take * 8;
    return take;
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
