#include "lha/bit_reader.h"

namespace tolvex::lha {

namespace {
constexpr std::size_t kBufferSize = 64 * 1024;
}

BitReader::BitReader(InputSource& source, std::uint64_t limit)
    : source_(source),
      remaining_(limit),
      buffer_(limit < kBufferSize ? static_cast<std::size_t>(limit) : kBufferSize) {}

bool BitReader::fill_buffer() {
  if (remaining_ == 0) return false;
  std::size_t wanted = remaining_ < kBufferSize ? static_cast<std::size_t>(remaining_) : kBufferSize;
  std::size_t got = source_.read(buffer_.data(), wanted);
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

void BitReader::refill() {
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
