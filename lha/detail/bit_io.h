#pragma once
// The bit streams of LHA's compressed data, most significant bit first in both directions.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "lha/byte_io.h"

namespace tolvex::lha {

// Reads a member's compressed data most significant bit first, as every LHA method stores it.
// It never pulls more than `limit` bytes from the source. Past the end it supplies zero bits
// and remembers that it did, so a decoder can tell a truncated stream from a complete one.
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

// Appends bits most significant first to a byte vector, the order LHA decoders read them in.
// Whole bytes gather in a small buffer of the writer's own and reach the vector a block at a
// time; flush() hands over the rest.
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
