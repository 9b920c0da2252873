#pragma once
// Encoder for -lh5-: LZSS over an 8 KiB window (hash-chain match finder with one step of lazy
// evaluation), coded in blocks with static Huffman tables.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tolvex::lha {

struct Lh5Options {
  int max_chain = 256;                // candidates compared per search: more is smaller and slower
  std::size_t block_symbols = 32768;  // symbols per Huffman block (at most 65535)
};

// The -lh5- bit stream for `data` (empty for empty input).
std::vector<std::uint8_t> encode_lh5(const std::uint8_t* data, std::size_t size, const Lh5Options& options = {});

}  // namespace tolvex::lha
