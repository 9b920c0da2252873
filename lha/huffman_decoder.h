#pragma once
// A canonical Huffman code read from a list of code lengths (0 = symbol unused, at most 16),
// with codes assigned in order of length and then of symbol, as LHA encoders assign them.
// Over-full length sets are rejected; codes a sparse set leaves unused decode as an error.
#include <array>
#include <cstdint>
#include <vector>

#include "lha/bit_reader.h"

namespace tolvex::lha {

class HuffmanDecoder {
 public:
  static constexpr int kMaxCodeLength = 16;
  static constexpr int kInvalidSymbol = -1;

  // An empty code (every code invalid) until build or set_single.
  HuffmanDecoder() { fast_[0] = fast_[1] = kSlowEntry; }

  // Builds the code; false when the lengths over-subscribe the code space or exceed 16.
  bool build(const std::uint8_t* lengths, int symbol_count);
  // Every code decodes to `symbol` and takes no bits (a table with a single symbol).
  void set_single(int symbol);

  // The next symbol, or kInvalidSymbol for a code outside the table.
  int decode(BitReader& bits) const {
    BitReader::Bits local = bits.lend();
    bits.fill(local);
    const int symbol = decode(local);
    bits.take_back(local);
    return symbol;
  }
  // As above, from a lent bit buffer holding at least kMaxCodeLength bits.
  int decode(BitReader::Bits& bits) const {
    const std::uint32_t window = bits.peek(kMaxCodeLength);
    const std::uint16_t entry = fast_[window >> fast_shift_];
    if (entry != kSlowEntry) {
      bits.skip(entry & 0x1F);
      return entry >> 5;
    }
    return decode_slow(bits, window);
  }

 private:
  static constexpr int kFastBits = 12;
  static constexpr std::uint16_t kSlowEntry = 0xFFFF;

  int decode_slow(BitReader::Bits& bits, std::uint32_t window) const;

  // The lookup covers the first min(longest code, kFastBits) bits: a table of short codes
  // fills only that many entries, since each build refills it and blocks can be many.
  int fast_shift_ = kMaxCodeLength - 1;
  std::array<std::uint16_t, 1 << kFastBits> fast_;
  // Canonical layout: codes of length L start at first_code_[L] and map to
  // sorted_symbols_[first_index_[L] ...].
  std::array<std::uint32_t, kMaxCodeLength + 2> first_code_{};
  std::array<std::uint16_t, kMaxCodeLength + 2> count_{};
  std::array<std::uint16_t, kMaxCodeLength + 2> first_index_{};
  std::vector<std::uint16_t> sorted_symbols_;
};

}  // namespace tolvex::lha
