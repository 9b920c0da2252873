#include "lha/huffman_decoder.h"

#include <algorithm>

namespace tolvex::lha {

void HuffmanDecoder::set_single(int symbol) {
  // A one-bit lookup whose both entries give the symbol and take no bits.
  count_.fill(0);
  fast_shift_ = kMaxCodeLength - 1;
  fast_[0] = fast_[1] = static_cast<std::uint16_t>(symbol << 5);
}

bool HuffmanDecoder::build(const std::uint8_t* lengths, int symbol_count) {
  count_.fill(0);
  int longest = 0;
  for (int s = 0; s < symbol_count; ++s) {
    if (lengths[s] > kMaxCodeLength) return false;
    ++count_[lengths[s]];
    if (lengths[s] > longest) longest = lengths[s];
  }
  count_[0] = 0;

  // Kraft sum in units of 2^-16: more than a full code space means an impossible code.
  std::uint32_t used = 0;
  for (int len = 1; len <= kMaxCodeLength; ++len)
    used += static_cast<std::uint32_t>(count_[len]) << (kMaxCodeLength - len);
  if (used > (1u << kMaxCodeLength)) return false;

  std::uint32_t code = 0;
  std::uint16_t index = 0;
  for (int len = 1; len <= kMaxCodeLength; ++len) {
    first_code_[len] = code;
    first_index_[len] = index;
    code = (code + count_[len]) << 1;
    index = static_cast<std::uint16_t>(index + count_[len]);
  }
  sorted_symbols_.assign(index, 0);
  std::array<std::uint16_t, kMaxCodeLength + 2> next = first_index_;
  for (int s = 0; s < symbol_count; ++s) {
    if (lengths[s] != 0) sorted_symbols_[next[lengths[s]]++] = static_cast<std::uint16_t>(s);
  }

  // Short codes resolve with one lookup of the next fast_bits bits.
  const int fast_bits = longest < 1 ? 1 : longest > kFastBits ? kFastBits : longest;
  fast_shift_ = kMaxCodeLength - fast_bits;
  std::fill_n(fast_.begin(), std::size_t{1} << fast_bits, kSlowEntry);
  for (int len = 1; len <= fast_bits; ++len) {
    for (std::uint16_t k = 0; k < count_[len]; ++k) {
      std::uint32_t symbol = sorted_symbols_[first_index_[len] + k];
      std::uint32_t prefix = (first_code_[len] + k) << (fast_bits - len);
      std::uint32_t span = 1u << (fast_bits - len);
      for (std::uint32_t j = 0; j < span; ++j) fast_[prefix + j] = static_cast<std::uint16_t>((symbol << 5) | len);
    }
  }
  return true;
}

int HuffmanDecoder::decode_slow(BitReader::Bits& bits, std::uint32_t window) const {
  for (int len = kFastBits + 1; len <= kMaxCodeLength; ++len) {
    std::uint32_t code = window >> (kMaxCodeLength - len);
    std::uint32_t offset = code - first_code_[len];
    if (code >= first_code_[len] && offset < count_[len]) {
      bits.skip(len);
      return sorted_symbols_[first_index_[len] + offset];
    }
  }
  return kInvalidSymbol;
}

}  // namespace tolvex::lha
