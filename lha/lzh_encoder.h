#pragma once
// Encoder for -lh5-: LZSS over an 8 KiB window, the matches chosen by their cost in bits under
// each block's own static Huffman tables. The input is coded in sections of 1 MiB, each on its
// own from what came before it (it still matches into the window before it), so that sections
// can be coded on several processors at once; the output does not depend on how many.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tolvex::lha {

struct Lh5Options {
  int max_depth = 32;                 // nodes a match search visits at most: more is smaller and slower
  std::size_t block_symbols = 65535;  // most items per Huffman block (at most 65535)
  unsigned threads = 0;               // sections coded at once; 0 = one per processor, at most 8
};

// The -lh5- bit stream for `data` (empty for empty input). `size` must be under 4 GiB, the
// largest member an archive holds (the match finder keeps positions in 32 bits); larger throws
// std::length_error.
std::vector<std::uint8_t> encode_lh5(const std::uint8_t* data, std::size_t size, const Lh5Options& options = {});
// The same stream, appended to `out`.
void append_lh5(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>& out,
                const Lh5Options& options = {});

}  // namespace tolvex::lha
