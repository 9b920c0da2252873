#include "lha/lzh_block_writer.h"

#include "lha/huffman_encoder.h"

namespace tolvex::lha {
namespace {

constexpr int kCodeLengthSymbols = 19;
constexpr int kPositionCountBits = 4;
constexpr int kMaxCodeLength = 16;

}  // namespace

void LzhBlockWriter::write(const LzhItem* items, std::size_t count) {
  literal_freq_.fill(0);
  position_freq_.fill(0);
  // Symbols past the largest one used get no code; the per-symbol passes below stop there
  // (a block of literals alone never looks at the 254 match lengths).
  int literal_end = 0;
  for (const LzhItem* item = items; item != items + count; ++item) {
    ++literal_freq_[item->symbol];
    if (item->symbol >= literal_end) literal_end = item->symbol + 1;
    if (item->symbol >= 256) ++position_freq_[lh5_position_symbol(item->distance_code)];
  }
  literal_lengths_.fill(0);
  huffman_code_lengths(literal_freq_.data(), literal_end, kMaxCodeLength, literal_lengths_.data());
  huffman_code_lengths(position_freq_.data(), kLh5PositionSymbols, kMaxCodeLength, position_lengths_.data());
  int literal_single = single_symbol(literal_freq_.data(), literal_lengths_.data(), literal_end);
  int position_single = single_symbol(position_freq_.data(), position_lengths_.data(), kLh5PositionSymbols);

  out_.put(16, static_cast<std::uint32_t>(count));
  if (literal_single >= 0) {
    // Both tables in their one-symbol form: the code-length table is never used.
    out_.put(5, 0);
    out_.put(5, 0);
    out_.put(9, 0);
    out_.put(9, static_cast<std::uint32_t>(literal_single));
  } else {
    write_literal_table(literal_lengths_.data(), literal_end);
  }
  write_small_table(position_lengths_.data(), kLh5PositionSymbols, position_single, kPositionCountBits, -1);

  canonical_codes(literal_lengths_.data(), literal_end, literal_codes_.data());
  canonical_codes(position_lengths_.data(), kLh5PositionSymbols, position_codes_.data());
  for (const LzhItem* item = items; item != items + count; ++item) {
    out_.put(literal_lengths_[item->symbol], literal_codes_[item->symbol]);
    if (item->symbol < 256) continue;
    int p = lh5_position_symbol(item->distance_code);
    out_.put(position_lengths_[p], position_codes_[p]);
    if (p > 1) out_.put(p - 1, item->distance_code);  // the bits below the leading one
  }
}

// The symbol of a table with fewer than two used symbols (0 when none), else -1.
int LzhBlockWriter::single_symbol(const std::uint32_t* freq, const std::uint8_t* lengths, int symbol_count) {
  for (int s = 0; s < symbol_count; ++s) {
    if (lengths[s] != 0) return -1;
  }
  for (int s = 0; s < symbol_count; ++s) {
    if (freq[s] != 0) return s;
  }
  return 0;
}

// Lengths of the code-length or position table: count, then 3 bits per length, lengths of
// 7 and more as 7 followed by unary; the code-length table has a 2-bit zero run after entry 3.
void LzhBlockWriter::write_small_table(const std::uint8_t* lengths, int symbol_count, int single, int count_bits,
                                       int zero_run_after) {
  if (single >= 0) {
    out_.put(count_bits, 0);
    out_.put(count_bits, static_cast<std::uint32_t>(single));
    return;
  }
  int count = symbol_count;
  while (count > 0 && lengths[count - 1] == 0) --count;
  out_.put(count_bits, static_cast<std::uint32_t>(count));
  int i = 0;
  while (i < count) {
    int length = lengths[i++];
    if (length <= 6) out_.put(3, static_cast<std::uint32_t>(length));
    else out_.put(length - 3, (1u << (length - 3)) - 2);  // 111, then length-7 ones and a zero
    if (i == zero_run_after) {
      int zeros = 0;
      while (zeros < 3 && i + zeros < count && lengths[i + zeros] == 0) ++zeros;
      out_.put(2, static_cast<std::uint32_t>(zeros));
      i += zeros;
    }
  }
}

// Runs of zero lengths in the literal table are coded as: symbol 0 = one zero, symbol 1 +
// 4 bits = 3..18 zeros, symbol 2 + 9 bits = 20..531 zeros; other lengths as length + 2.
// Fills `tokens` (room for `count` tokens: a run never takes more tokens than zeros) and
// returns how many there are.
int LzhBlockWriter::tokenize(const std::uint8_t* lengths, int count, LengthToken* tokens) {
  int n = 0;
  int i = 0;
  while (i < count) {
    if (lengths[i] != 0) {
      tokens[n++] = {static_cast<std::uint8_t>(lengths[i] + 2), 0};
      ++i;
      continue;
    }
    int run = 0;
    while (i + run < count && lengths[i + run] == 0) ++run;
    i += run;
    if (run <= 2) {
      for (int k = 0; k < run; ++k) tokens[n++] = {0, 0};
    } else if (run <= 18) {
      tokens[n++] = {1, static_cast<std::uint16_t>(run - 3)};
    } else if (run == 19) {
      tokens[n++] = {0, 0};
      tokens[n++] = {1, 15};
    } else {
      tokens[n++] = {2, static_cast<std::uint16_t>(run - 20)};
    }
  }
  return n;
}

// `end` is past the last symbol that may have a length.
void LzhBlockWriter::write_literal_table(const std::uint8_t* lengths, int end) {
  int count = end;
  while (count > 0 && lengths[count - 1] == 0) --count;
  const int token_count = tokenize(lengths, count, tokens_.data());
  std::array<std::uint32_t, kCodeLengthSymbols> freq{};
  for (int t = 0; t < token_count; ++t) ++freq[tokens_[t].symbol];
  std::array<std::uint8_t, kCodeLengthSymbols> code_lengths;
  huffman_code_lengths(freq.data(), kCodeLengthSymbols, kMaxCodeLength, code_lengths.data());
  int single = single_symbol(freq.data(), code_lengths.data(), kCodeLengthSymbols);
  write_small_table(code_lengths.data(), kCodeLengthSymbols, single, 5, 3);
  std::array<std::uint16_t, kCodeLengthSymbols> codes;
  canonical_codes(code_lengths.data(), kCodeLengthSymbols, codes.data());
  out_.put(9, static_cast<std::uint32_t>(count));
  for (int k = 0; k < token_count; ++k) {
    const LengthToken& t = tokens_[k];
    out_.put(code_lengths[t.symbol], codes[t.symbol]);
    if (t.symbol == 1) out_.put(4, t.extra);
    else if (t.symbol == 2) out_.put(9, t.extra);
  }
}

}  // namespace tolvex::lha
