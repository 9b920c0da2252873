#pragma once
// Encoder for -lh5-: LZSS over an 8 KiB window, the matches chosen by their cost in bits under
// each block's own static Huffman tables. The input is coded in sections of 1 MiB, each on its
// own from what came before it (it still matches into the window before it), so that sections
// can be coded on several processors at once; the output does not depend on how many.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "lha/archive_writer.h"
#include "lha/detail/bit_io.h"

namespace tolvex::lha {

// The -lh5- bit stream for `data` (empty for empty input). `size` must be under 4 GiB, the
// largest member an archive holds (the match finder keeps positions in 32 bits); larger throws
// std::length_error.
std::vector<std::uint8_t> encode_lh5(const std::uint8_t* data, std::size_t size, const Lh5Options& options = {});
// The same stream, appended to `out`.
void append_lh5(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>& out,
                const Lh5Options& options = {});

constexpr int kLh5DictionaryBits = 13;
constexpr std::size_t kLh5Window = std::size_t{1} << kLh5DictionaryBits;
constexpr std::size_t kLh5MinMatch = 3;
constexpr std::size_t kLh5MaxMatch = 256;
constexpr int kLh5LiteralLengthSymbols = 510;  // 256 literals, then lengths 3..256
constexpr int kLh5PositionSymbols = kLh5DictionaryBits + 1;
constexpr std::size_t kLh5MaxBlockItems = 65535;  // the block's item count is a 16-bit field

// One LZSS item: a literal (symbol < 256) or a match (symbol = 256 + length - 3).
struct LzhItem {
  std::uint16_t symbol;
  std::uint16_t distance_code;  // distance - 1, for matches
};

// The position symbol of a distance code: 0 for 0, otherwise its bit length. The bits below the
// leading one follow the symbol's code.
inline int lh5_position_symbol(std::uint32_t distance_code) {
  return distance_code == 0 ? 0 : 32 - __builtin_clz(distance_code);
}

// Writes -lh5- items in blocks, each with static Huffman tables built from its own symbol
// counts: the part of the encoder that every way of choosing matches shares.
class LzhBlockWriter {
 public:
  explicit LzhBlockWriter(BitWriter& out) : out_(out) {}
  LzhBlockWriter(const LzhBlockWriter&) = delete;
  LzhBlockWriter& operator=(const LzhBlockWriter&) = delete;

  // Writes `count` items (1..kLh5MaxBlockItems) as one block.
  void write(const LzhItem* items, std::size_t count);

 private:
  struct LengthToken {
    std::uint8_t symbol;
    std::uint16_t extra;
  };
  static int single_symbol(const std::uint32_t* freq, const std::uint8_t* lengths, int symbol_count);
  static int tokenize(const std::uint8_t* lengths, int count, LengthToken* tokens);
  void write_small_table(const std::uint8_t* lengths, int symbol_count, int single, int count_bits, int zero_run_after);
  void write_literal_table(const std::uint8_t* lengths, int end);

  BitWriter& out_;
  // Every table lives in this object: small blocks are many, and each would otherwise allocate
  // its tables afresh.
  std::array<std::uint32_t, kLh5LiteralLengthSymbols> literal_freq_;
  std::array<std::uint32_t, kLh5PositionSymbols> position_freq_;
  std::array<std::uint8_t, kLh5LiteralLengthSymbols> literal_lengths_;
  std::array<std::uint8_t, kLh5PositionSymbols> position_lengths_;
  std::array<std::uint16_t, kLh5LiteralLengthSymbols> literal_codes_;
  std::array<std::uint16_t, kLh5PositionSymbols> position_codes_;
  std::array<LengthToken, kLh5LiteralLengthSymbols> tokens_;
};

}  // namespace tolvex::lha
