#pragma once
// Code lengths and canonical codes for the encoder, matching what HuffmanDecoder reads:
// lengths at most `max_length`, the code space always exactly filled (classic LHA decoders
// reject incomplete tables), codes ordered by length and then by symbol.
#include <cstdint>
#include <vector>

namespace tolvex::lha {

// Lengths for `frequencies`; unused symbols get 0. With fewer than two used symbols every
// length is 0 and the caller writes the table in its single-symbol form.
std::vector<std::uint8_t> huffman_code_lengths(const std::vector<std::uint32_t>& frequencies, int max_length);

// The canonical code of each symbol from its length.
std::vector<std::uint16_t> canonical_codes(const std::vector<std::uint8_t>& lengths);

}  // namespace tolvex::lha
