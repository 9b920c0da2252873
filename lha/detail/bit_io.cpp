#include "lha/detail/bit_io.h"

#include <cstring>

namespace tolvex::lha {

BitReader::BitReader(InputSource& source, std::uint64_t limit) : source_(source), remaining_(limit) {}

bool BitReader::fill_buffer() {
  if (remaining_ == 0) return false;
  std::size_t wanted = remaining_ < kBufferSize ? static_cast<std::size_t>(remaining_) : kBufferSize;
  std::size_t got = source_.read(buffer_, wanted);
  if (got == 0) {
    remaining_ = 0;  // the source ended early: treat the rest as missing
    return false;
  }
  remaining_ -= got;
  pulled_ += got;
  buffer_pos_ = 0;
  buffer_end_ = got;
  return true;
}

void BitReader::read_bytes(std::uint8_t* out, std::size_t count) {
  if (bit_count_ % 8 == 0) {
    // The bytes already in the bit buffer, then straight from the block buffer.
    for (; count > 0 && bit_count_ > 0; --count) *out++ = static_cast<std::uint8_t>(read(8));
    while (count > 0 && (buffer_pos_ < buffer_end_ || fill_buffer())) {
      std::size_t length = buffer_end_ - buffer_pos_;
      if (length > count) length = count;
      std::memcpy(out, buffer_ + buffer_pos_, length);
      buffer_pos_ += length;
      out += length;
      count -= length;
    }
  }
  // Off a byte boundary, or past the end (zero bits, and the overrun is remembered).
  for (; count > 0; --count) *out++ = static_cast<std::uint8_t>(read(8));
}

void BitReader::refill_bytewise() {
  while (bit_count_ <= 56) {
    std::uint64_t byte = 0;
    if (buffer_pos_ < buffer_end_ || fill_buffer()) {
      byte = buffer_[buffer_pos_++];
    } else {
      padded_bits_ += 8;
    }
    bits_ |= byte << (56 - bit_count_);
    bit_count_ += 8;
  }
}

}  // namespace tolvex::lha
