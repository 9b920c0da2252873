#include "lha/bit_reader.h"

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

void BitReader::refill() {
  // With eight bytes at hand, one big-endian load tops the bit buffer up to 57..64 bits.
  if (buffer_end_ - buffer_pos_ >= 8) {
    std::uint64_t next = 0;
    for (int k = 0; k < 8; ++k) next = (next << 8) | buffer_[buffer_pos_ + k];
    int take = (64 - bit_count_) / 8;  // whole bytes that fit
    bits_ |= next >> bit_count_;
    // Only the bytes taken whole count as consumed; the leading bits of a byte that did not fit
    // whole are cleared, and that byte is read again whole next time.
    bit_count_ += take * 8;
    if (bit_count_ < 64) bits_ &= ~(~std::uint64_t{0} >> bit_count_);
    buffer_pos_ += take;
    return;
  }
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
