#include "lha/lzh_encoder.h"

#include <algorithm>

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
    // Kept between blocks: small blocks are many, and each would otherwise allocate afresh.
    literal_freq_.assign(kLiteralLengthSymbols, 0);
    position_freq_.assign(kPositionSymbols, 0);
    for (const Item& item : items) {
      ++literal_freq_[item.symbol];
      if (item.symbol >= 256) ++position_freq_[position_symbol(item.distance_code)];
    }
    std::vector<std::uint8_t> literal_lengths = huffman_code_lengths(literal_freq_, kMaxCodeLength);
    std::vector<std::uint8_t> position_lengths = huffman_code_lengths(position_freq_, kMaxCodeLength);
    int literal_single = single_symbol(literal_freq_, literal_lengths);
    int position_single = single_symbol(position_freq_, position_lengths);

    out_.put(16, static_cast<std::uint32_t>(items.size()));
    if (literal_single >= 0) {
      // Both tables in their one-symbol form: the code-length table is never used.
      out_.put(5, 0);
      out_.put(5, 0);
      out_.put(9, 0);
      out_.put(9, static_cast<std::uint32_t>(literal_single));
    } else {
      write_literal_table(literal_lengths);
    }
    write_small_table(position_lengths, position_single, kPositionCountBits, -1);

    std::vector<std::uint16_t> literal_codes = canonical_codes(literal_lengths);
    std::vector<std::uint16_t> position_codes = canonical_codes(position_lengths);
    for (const Item& item : items) {
      out_.put(literal_lengths[item.symbol], literal_codes[item.symbol]);
      if (item.symbol < 256) continue;
      int p = position_symbol(item.distance_code);
      out_.put(position_lengths[p], position_codes[p]);
      if (p > 1) out_.put(p - 1, item.distance_code);  // the bits below the leading one
    }
  }

 private:
  // The symbol of a table with fewer than two used symbols (0 when none), else -1.
  static int single_symbol(const std::vector<std::uint32_t>& freq, const std::vector<std::uint8_t>& lengths) {
    for (std::uint8_t length : lengths) {
      if (length != 0) return -1;
    }
    for (std::size_t s = 0; s < freq.size(); ++s) {
      if (freq[s] != 0) return static_cast<int>(s);
    }
    return 0;
  }

  // Lengths of the code-length or position table: count, then 3 bits per length, lengths of
  // 7 and more as 7 followed by unary; the code-length table has a 2-bit zero run after entry 3.
  void write_small_table(const std::vector<std::uint8_t>& lengths, int single, int count_bits, int zero_run_after) {
    if (single >= 0) {
      out_.put(count_bits, 0);
      out_.put(count_bits, static_cast<std::uint32_t>(single));
      return;
    }
    int count = static_cast<int>(lengths.size());
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

  static std::vector<LengthToken> tokenize(const std::vector<std::uint8_t>& lengths, int count) {
    std::vector<LengthToken> tokens;
    int i = 0;
    while (i < count) {
      if (lengths[i] != 0) {
        tokens.push_back({static_cast<std::uint8_t>(lengths[i] + 2), 0});
        ++i;
        continue;
      }
      int run = 0;
      while (i + run < count && lengths[i + run] == 0) ++run;
      i += run;
      if (run <= 2) {
        for (int k = 0; k < run; ++k) tokens.push_back({0, 0});
      } else if (run <= 18) {
        tokens.push_back({1, static_cast<std::uint16_t>(run - 3)});
      } else if (run == 19) {
        tokens.push_back({0, 0});
        tokens.push_back({1, 15});
      } else {
        tokens.push_back({2, static_cast<std::uint16_t>(run - 20)});
      }
    }
    return tokens;
  }

  void write_literal_table(const std::vector<std::uint8_t>& lengths) {
    int count = kLiteralLengthSymbols;
    while (count > 0 && lengths[count - 1] == 0) --count;
    std::vector<LengthToken> tokens = tokenize(lengths, count);
    std::vector<std::uint32_t> freq(kCodeLengthSymbols, 0);
    for (const LengthToken& t : tokens) ++freq[t.symbol];
    std::vector<std::uint8_t> code_lengths = huffman_code_lengths(freq, kMaxCodeLength);
    int single = single_symbol(freq, code_lengths);
    write_small_table(code_lengths, single, 5, 3);
    std::vector<std::uint16_t> codes = canonical_codes(code_lengths);
    out_.put(9, static_cast<std::uint32_t>(count));
    for (const LengthToken& t : tokens) {
      out_.put(code_lengths[t.symbol], codes[t.symbol]);
      if (t.symbol == 1) out_.put(4, t.extra);
      else if (t.symbol == 2) out_.put(9, t.extra);
    }
  }

  BitWriter& out_;
  std::vector<std::uint32_t> literal_freq_, position_freq_;
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
