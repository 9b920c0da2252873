#pragma once
// Code lengths and canonical codes for the encoder, matching what HuffmanDecoder reads:
// lengths at most `max_length`, the code space always exactly filled (classic LHA decoders
// reject incomplete tables), codes ordered by length and then by symbol.
#include <cstdint>
#include <vector>

namespace tolvex::lha {

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
