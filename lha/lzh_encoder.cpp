#include "lha/lzh_encoder.h"

#include <algorithm>
#include <array>

#include "lha/bit_writer.h"
#include "lha/huffman_encoder.h"
#include "lha/match_finder.h"

namespace tolvex::lha {
namespace {

constexpr int kDictionaryBits = 13;
constexpr std::size_t kWindow = std::size_t{1} << kDictionaryBits;
constexpr std::size_t kMinMatch = 3;
constexpr std::size_t kMaxMatch = 256;
constexpr int kLiteralLengthSymbols = 510;
constexpr int kCodeLengthSymbols = 19;
constexpr int kPositionSymbols = kDictionaryBits + 1;
constexpr int kPositionCountBits = 4;
constexpr int kMaxCodeLength = 16;
// A three-byte match this far back costs more bits than three literals.
constexpr std::size_t kFarForShortMatch = 4096;

// One LZSS item: a literal (symbol < 256) or a match (symbol = 256 + length - 3).
struct Item {
  std::uint16_t symbol;
  std::uint16_t distance_code;  // distance - 1, for matches
};

int bit_length(std::uint32_t value) {
  int n = 0;
  while (value) {
    ++n;
    value >>= 1;
  }
  return n;
}

// Position symbol: 0 for distance code 0, otherwise the bit length of the distance code.
int position_symbol(std::uint32_t distance_code) { return bit_length(distance_code); }

class BlockWriter {
 public:
  explicit BlockWriter(BitWriter& out) : out_(out) {}

  void write(const std::vector<Item>& items) {
    // Every table lives in this object: small blocks are many, and each would otherwise
    // allocate its tables afresh.
    literal_freq_.fill(0);
    position_freq_.fill(0);
    // Symbols past the largest one used get no code; the per-symbol passes below stop there
    // (a block of literals alone never looks at the 254 match lengths).
    int literal_end = 0;
    for (const Item& item : items) {
      ++literal_freq_[item.symbol];
      if (item.symbol >= literal_end) literal_end = item.symbol + 1;
      if (item.symbol >= 256) ++position_freq_[position_symbol(item.distance_code)];
    }
    literal_lengths_.fill(0);
    huffman_code_lengths(literal_freq_.data(), literal_end, kMaxCodeLength, literal_lengths_.data());
    huffman_code_lengths(position_freq_.data(), kPositionSymbols, kMaxCodeLength, position_lengths_.data());
    int literal_single = single_symbol(literal_freq_.data(), literal_lengths_.data(), literal_end);
    int position_single = single_symbol(position_freq_.data(), position_lengths_.data(), kPositionSymbols);

    out_.put(16, static_cast<std::uint32_t>(items.size()));
    if (literal_single >= 0) {
      // Both tables in their one-symbol form: the code-length table is never used.
      out_.put(5, 0);
      out_.put(5, 0);
      out_.put(9, 0);
      out_.put(9, static_cast<std::uint32_t>(literal_single));
    } else {
      write_literal_table(literal_lengths_.data(), literal_end);
    }
    write_small_table(position_lengths_.data(), kPositionSymbols, position_single, kPositionCountBits, -1);

    canonical_codes(literal_lengths_.data(), literal_end, literal_codes_.data());
    canonical_codes(position_lengths_.data(), kPositionSymbols, position_codes_.data());
    for (const Item& item : items) {
      out_.put(literal_lengths_[item.symbol], literal_codes_[item.symbol]);
      if (item.symbol < 256) continue;
      int p = position_symbol(item.distance_code);
      out_.put(position_lengths_[p], position_codes_[p]);
      if (p > 1) out_.put(p - 1, item.distance_code);  // the bits below the leading one
    }
  }

 private:
  // The symbol of a table with fewer than two used symbols (0 when none), else -1.
  static int single_symbol(const std::uint32_t* freq, const std::uint8_t* lengths, int symbol_count) {
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
  void write_small_table(const std::uint8_t* lengths, int symbol_count, int single, int count_bits,
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
  struct LengthToken {
    std::uint8_t symbol;
    std::uint16_t extra;
  };

  // Fills `tokens` (room for `count` tokens: a run never takes more tokens than zeros) and
  // returns how many there are.
  static int tokenize(const std::uint8_t* lengths, int count, LengthToken* tokens) {
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
  void write_literal_table(const std::uint8_t* lengths, int end) {
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

  BitWriter& out_;
  std::array<std::uint32_t, kLiteralLengthSymbols> literal_freq_;
  std::array<std::uint32_t, kPositionSymbols> position_freq_;
  std::array<std::uint8_t, kLiteralLengthSymbols> literal_lengths_;
  std::array<std::uint8_t, kPositionSymbols> position_lengths_;
  std::array<std::uint16_t, kLiteralLengthSymbols> literal_codes_;
  std::array<std::uint16_t, kPositionSymbols> position_codes_;
  std::array<LengthToken, kLiteralLengthSymbols> tokens_;
};

}  // namespace

std::vector<std::uint8_t> encode_lh5(const std::uint8_t* data, std::size_t size, const Lh5Options& options) {
  std::vector<std::uint8_t> out;
  if (size == 0) return out;
  BitWriter bits(out);
  BlockWriter blocks(bits);
  MatchFinder finder(data, size, kWindow, kMaxMatch, options.max_chain);
  const std::size_t block_limit = std::clamp<std::size_t>(options.block_symbols, 1, 65535);
  std::vector<Item> items;
  items.reserve(std::min(block_limit, size));  // a block never holds more items than bytes

  auto usable = [](const Match& m) {
    return m.length >= kMinMatch && !(m.length == kMinMatch && m.distance > kFarForShortMatch);
  };
  auto emit = [&](Item item) {
    items.push_back(item);
    if (items.size() == block_limit) {
      blocks.write(items);
      items.clear();
    }
  };

  std::size_t position = 0;
  finder.insert(0);
  Match current = finder.find(0, 0);
  while (position < size) {
    if (!usable(current)) {
      emit({data[position], 0});
      ++position;
      finder.insert(position);
      current = position < size ? finder.find(position, 0) : Match{};
      continue;
    }
    // Lazy step: if the next position starts a longer match, send this byte as a literal.
    finder.insert(position + 1);
    Match next =
        position + 1 < size && current.length < kMaxMatch ? finder.find(position + 1, current.length) : Match{};
    if (usable(next) && next.length > current.length) {
      emit({data[position], 0});
      ++position;
      current = next;
      continue;
    }
    emit({static_cast<std::uint16_t>(256 + current.length - kMinMatch),
          static_cast<std::uint16_t>(current.distance - 1)});
    std::size_t end = position + current.length;
    for (std::size_t p = position + 2; p <= end; ++p) finder.insert(p);
    position = end;
    current = position < size ? finder.find(position, 0) : Match{};
  }
  if (!items.empty()) blocks.write(items);
  bits.flush();
  return out;
}

}  // namespace tolvex::lha
