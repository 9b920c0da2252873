#include "lha/detail/huffman.h"

#include <algorithm>
#include <utility>

namespace tolvex::lha {

void HuffmanDecoder::set_single(int symbol) {
  // A one-bit lookup whose both entries give the symbol and take no bits.
  count_.fill(0);
  fast_shift_ = kMaxCodeLength - 1;
  fast_[0] = fast_[1] = static_cast<std::uint16_t>(symbol << 5);
}

bool HuffmanDecoder::build(const std::uint8_t* lengths, int symbol_count) {
  count_.fill(0);
  int longest = 0;
  for (int s = 0; s < symbol_count; ++s) {
    if (lengths[s] > kMaxCodeLength) return false;
    ++count_[lengths[s]];
    if (lengths[s] > longest) longest = lengths[s];
  }
  count_[0] = 0;

  // Kraft sum in units of 2^-16: more than a full code space means an impossible code.
  std::uint32_t used = 0;
  for (int len = 1; len <= kMaxCodeLength; ++len)
    used += static_cast<std::uint32_t>(count_[len]) << (kMaxCodeLength - len);
  if (used > (1u << kMaxCodeLength)) return false;

  std::uint32_t code = 0;
  std::uint16_t index = 0;
  for (int len = 1; len <= kMaxCodeLength; ++len) {
    first_code_[len] = code;
    first_index_[len] = index;
    code = (code + count_[len]) << 1;
    index = static_cast<std::uint16_t>(index + count_[len]);
  }
  sorted_symbols_.assign(index, 0);
  std::array<std::uint16_t, kMaxCodeLength + 2> next = first_index_;
  for (int s = 0; s < symbol_count; ++s) {
    if (lengths[s] != 0) sorted_symbols_[next[lengths[s]]++] = static_cast<std::uint16_t>(s);
  }

  // Short codes resolve with one lookup of the next fast_bits bits.
  const int fast_bits = longest < 1 ? 1 : longest > kFastBits ? kFastBits : longest;
  fast_shift_ = kMaxCodeLength - fast_bits;
  std::fill_n(fast_.begin(), std::size_t{1} << fast_bits, kSlowEntry);
  for (int len = 1; len <= fast_bits; ++len) {
    for (std::uint16_t k = 0; k < count_[len]; ++k) {
      std::uint32_t symbol = sorted_symbols_[first_index_[len] + k];
      std::uint32_t prefix = (first_code_[len] + k) << (fast_bits - len);
      std::uint32_t span = 1u << (fast_bits - len);
      for (std::uint32_t j = 0; j < span; ++j) fast_[prefix + j] = static_cast<std::uint16_t>((symbol << 5) | len);
    }
  }
  return true;
}

int HuffmanDecoder::decode_slow(BitReader::Bits& bits, std::uint32_t window) const {
  for (int len = kFastBits + 1; len <= kMaxCodeLength; ++len) {
    std::uint32_t code = window >> (kMaxCodeLength - len);
    std::uint32_t offset = code - first_code_[len];
    if (code >= first_code_[len] && offset < count_[len]) {
      bits.skip(len);
      return sorted_symbols_[first_index_[len] + offset];
    }
  }
  return kInvalidSymbol;
}

void huffman_code_lengths(const std::uint32_t* frequencies, int symbol_count, int max_length, std::uint8_t* lengths) {
  std::fill_n(lengths, symbol_count, std::uint8_t{0});
  // The used symbols, most frequent first (ties by symbol): the order lengths are handed out in.
  // Every working table lives on the stack, sized for the largest table.
  int used[kMaxHuffmanSymbols];
  std::size_t used_count = 0;
  for (int s = 0; s < symbol_count; ++s) {
    if (frequencies[s] > 0) used[used_count++] = s;
  }
  if (used_count < 2) return;
  std::sort(used, used + used_count,
            [&](int a, int b) { return frequencies[a] != frequencies[b] ? frequencies[a] > frequencies[b] : a < b; });

  // An ordinary Huffman tree by the two-queue method: leaves are taken lightest first (the end
  // of `used`), and the inner nodes come out in order of weight, so no heap is needed. Nodes
  // 0..n-1 are the leaves in `used` order, n.. the inner nodes in the order they are made.
  const std::size_t leaves = used_count;
  std::uint64_t inner_weight[kMaxHuffmanSymbols];
  std::uint32_t parent[2 * kMaxHuffmanSymbols];
  std::size_t next_leaf = leaves;  // leaves not yet taken are used[0 .. next_leaf)
  std::size_t next_inner = 0, made = 0;
  auto take_lightest = [&]() -> std::pair<std::uint64_t, std::size_t> {
    if (next_leaf > 0 && (next_inner == made || frequencies[used[next_leaf - 1]] <= inner_weight[next_inner])) {
      --next_leaf;
      return {frequencies[used[next_leaf]], next_leaf};
    }
    std::size_t inner = next_inner++;
    return {inner_weight[inner], leaves + inner};
  };
  while (made < leaves - 1) {
    auto a = take_lightest();
    auto b = take_lightest();
    inner_weight[made] = a.first + b.first;
    parent[a.second] = static_cast<std::uint32_t>(leaves + made);
    parent[b.second] = static_cast<std::uint32_t>(leaves + made);
    ++made;
  }

  // Depths from the root (the last node made) down: a node's parent is always made after it.
  // Leaves deeper than max_length are counted at max_length for now.
  std::uint32_t depth[2 * kMaxHuffmanSymbols];
  std::uint32_t per_length[17] = {};
  depth[2 * leaves - 2] = 0;
  for (std::size_t node = 2 * leaves - 2; node-- > 0;) {
    depth[node] = depth[parent[node]] + 1;
    if (node < leaves) ++per_length[std::min<std::uint32_t>(depth[node], static_cast<std::uint32_t>(max_length))];
  }

  // Restore Kraft equality in units of 2^-max_length: push leaves down while the code is
  // over-full, then pull the deepest up while it has room.
  const std::uint64_t full = std::uint64_t{1} << max_length;
  std::uint64_t kraft = 0;
  for (int len = 1; len <= max_length; ++len) kraft += std::uint64_t{per_length[len]} << (max_length - len);
  while (kraft > full) {
    int len = max_length - 1;
    while (len > 0 && per_length[len] == 0) --len;
    if (len == 0) break;  // more symbols than max_length allows; cannot happen for LHA tables
    --per_length[len];
    ++per_length[len + 1];
    kraft -= std::uint64_t{1} << (max_length - len - 1);
  }
  while (kraft < full) {
    int len = max_length;
    while (per_length[len] == 0) --len;
    --per_length[len];
    ++per_length[len - 1];
    kraft += std::uint64_t{1} << (max_length - len);
  }

  // The most frequent symbols get the shortest codes.
  std::size_t k = 0;
  for (int len = 1; len <= max_length; ++len) {
    for (std::uint32_t n = 0; n < per_length[len]; ++n) lengths[used[k++]] = static_cast<std::uint8_t>(len);
  }
}

std::vector<std::uint8_t> huffman_code_lengths(const std::vector<std::uint32_t>& frequencies, int max_length) {
  std::vector<std::uint8_t> lengths(frequencies.size());
  huffman_code_lengths(frequencies.data(), static_cast<int>(frequencies.size()), max_length, lengths.data());
  return lengths;
}

std::vector<std::uint16_t> canonical_codes(const std::vector<std::uint8_t>& lengths) {
  std::vector<std::uint16_t> codes(lengths.size());
  canonical_codes(lengths.data(), static_cast<int>(lengths.size()), codes.data());
  return codes;
}

void canonical_codes(const std::uint8_t* lengths, int symbol_count, std::uint16_t* codes) {
  // The first code of each length follows from how many shorter codes there are; symbols of
  // one length then take consecutive codes in symbol order. One pass to count, one to assign,
  // since the encoder calls this for every block and small blocks are many.
  std::uint32_t per_length[17] = {};
  for (int s = 0; s < symbol_count; ++s) {
    if (lengths[s] >= 1 && lengths[s] <= 16) ++per_length[lengths[s]];
  }
  std::uint32_t next_code[17] = {};
  std::uint32_t code = 0;
  for (int len = 1; len <= 16; ++len) {
    next_code[len] = code;
    code = (code + per_length[len]) << 1;
  }
  for (int s = 0; s < symbol_count; ++s) {
    std::uint8_t len = lengths[s];
    codes[s] = len >= 1 && len <= 16 ? static_cast<std::uint16_t>(next_code[len]++) : 0;
  }
}

}  // namespace tolvex::lha
