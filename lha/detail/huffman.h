#pragma once
// The canonical Huffman codes of LHA's block tables: decoding them, and choosing them for the
// encoder.
#include <array>
#include <cstdint>
#include <vector>

#include "lha/detail/bit_io.h"

namespace tolvex::lha {

// A canonical Huffman code read from a list of code lengths (0 = symbol unused, at most 16),
// with codes assigned in order of length and then of symbol, as LHA encoders assign them.
// Over-full length sets are rejected; codes a sparse set leaves unused decode as an error.
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

// Code lengths and canonical codes for the encoder, matching what HuffmanDecoder reads:
// lengths at most `max_length`, the code space always exactly filled (classic LHA decoders
// reject incomplete tables), codes ordered by length and then by symbol.
// The most symbols a table may have (the literal/length table's 510).
constexpr int kMaxHuffmanSymbols = 510;

// Lengths for `frequencies`; unused symbols get 0. With fewer than two used symbols every
// length is 0 and the caller writes the table in its single-symbol form; `max_length` is 1..16.
// Both forms take at most kMaxHuffmanSymbols symbols. The first writes `symbol_count` lengths
// into `lengths` and allocates nothing, as the encoder builds three tables per block and small
// blocks are many.
void huffman_code_lengths(const std::uint32_t* frequencies, int symbol_count, int max_length, std::uint8_t* lengths);
std::vector<std::uint8_t> huffman_code_lengths(const std::vector<std::uint32_t>& frequencies, int max_length);

// The canonical code of each symbol from its length, into `codes` (`symbol_count` entries).
void canonical_codes(const std::uint8_t* lengths, int symbol_count, std::uint16_t* codes);
std::vector<std::uint16_t> canonical_codes(const std::vector<std::uint8_t>& lengths);

}  // namespace tolvex::lha
