#include "lha/detail/optimal_parser.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "lha/detail/huffman.h"

namespace tolvex::lha {
namespace {

// How many leading bytes `a` and `b` share, from `from` up to `limit`. Inlined: a walk calls
// it at every node, and most calls end within the first eight bytes.
[[gnu::always_inline]] inline std::size_t common_length(const std::uint8_t* a, const std::uint8_t* b, std::size_t from,
                                                        std::size_t limit) {
  std::size_t n = from;
  while (n + 8 <= limit) {
    std::uint64_t x, y;
    std::memcpy(&x, a + n, 8);
    std::memcpy(&y, b + n, 8);
    if (x != y) {
      // The first differing byte is the lowest one on a little-endian host, the highest else.
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
      return n + static_cast<std::size_t>(__builtin_clzll(x ^ y) / 8);
#else
      return n + static_cast<std::size_t>(__builtin_ctzll(x ^ y) / 8);
#endif
    }
    n += 8;
  }
  while (n < limit && a[n] == b[n]) ++n;
  return n;
}

}  // namespace

MatchFinder::MatchFinder(const std::uint8_t* data, std::size_t size, std::size_t window, std::size_t max_length,
                         int max_depth)
    : data_(data), size_(size), window_(window), max_length_(max_length), max_depth_(max_depth) {
  // More nodes than the window holds, so a node is never reused while a walk can reach it; or
  // one per position of a shorter input.
  std::size_t nodes = 1;
  while (nodes <= window && nodes < size) nodes <<= 1;
  node_mask_ = nodes - 1;
  int hash_bits = 8;
  while (hash_bits < 15 && (std::size_t{2} << hash_bits) < size) ++hash_bits;
  hash_shift_ = 32 - hash_bits;
  root_.resize(std::size_t{1} << hash_bits);
  children_.reset(new std::uint32_t[2 * nodes]);
}

template <bool kReport>
std::size_t MatchFinder::walk(std::size_t position, Match* out) {
  std::uint32_t* smaller_slot = &children_[2 * (position & node_mask_)];
  std::uint32_t* larger_slot = smaller_slot + 1;
  const std::size_t limit = size_ - position < max_length_ ? size_ - position : max_length_;
  if (limit < 3) {
    // Too near the end to start a match: the node exists, but as a leaf of no tree.
    *smaller_slot = *larger_slot = 0;
    return 0;
  }
  const std::uint8_t* here = data_ + position;
  const std::uint32_t key = here[0] | (here[1] << 8) | (here[2] << 16);
  std::uint32_t& root = root_[(key * 2654435761u) >> hash_shift_];
  std::uint32_t next = root;
  root = static_cast<std::uint32_t>(position + 1);

  // Every node under the smaller (larger) slot sorts before (after) `here` and shares at least
  // smaller_length (larger_length) bytes with it, so a comparison may start at the lesser.
  std::size_t smaller_length = 0, larger_length = 0;
  std::size_t best = 2;
  std::size_t count = 0;
  for (int depth = max_depth_; next != 0; --depth) {
    const std::size_t candidate = next - 1;
    const std::size_t distance = position - candidate;
    if (distance > window_ || depth == 0) break;
    const std::uint8_t* there = data_ + candidate;
    std::uint32_t* pair = &children_[2 * (candidate & node_mask_)];
    std::size_t length =
        common_length(here, there, smaller_length < larger_length ? smaller_length : larger_length, limit);
    if (kReport && length > best) {
      best = length;
      out[count++] = {static_cast<std::uint32_t>(length), static_cast<std::uint32_t>(distance)};
    }
    if (length == limit) {
      // Equal as far as can be told: the new node takes the old one's place and children.
      *smaller_slot = pair[0];
      *larger_slot = pair[1];
      return count;
    }
    if (there[length] < here[length]) {
      *smaller_slot = next;
      smaller_slot = pair + 1;
      next = *smaller_slot;
      smaller_length = length;
    } else {
      *larger_slot = next;
      larger_slot = pair;
      next = *larger_slot;
      larger_length = length;
    }
  }
  *smaller_slot = *larger_slot = 0;
  return count;
}

std::size_t MatchFinder::insert_and_find(std::size_t position, Match* out) { return walk<true>(position, out); }

void MatchFinder::insert(std::size_t position) { walk<false>(position, nullptr); }

void MatchFinder::restart(std::size_t end) {
  size_ = end;
  std::fill(root_.begin(), root_.end(), 0u);
}

namespace {

constexpr int kMaxCodeLength = 16;

// Code lengths of `freq` with every symbol given a count more (against two per use), so that a
// symbol the last choice did not use is priced as rare, not as impossible.
void smoothed_lengths(const std::uint32_t* freq, int count, std::uint8_t* lengths) {
  std::uint32_t smoothed[kMaxHuffmanSymbols];
  for (int s = 0; s < count; ++s) smoothed[s] = freq[s] * 2 + 1;
  huffman_code_lengths(smoothed, count, kMaxCodeLength, lengths);
}

}  // namespace

SymbolPrices SymbolPrices::initial() {
  SymbolPrices prices;
  for (int s = 0; s < 256; ++s) prices.literal_length[s] = 8;
  for (int s = 256; s < kLh5LiteralLengthSymbols; ++s) {
    int length = s - 256 + static_cast<int>(kLh5MinMatch);
    prices.literal_length[s] = length < 8 ? 6 + length / 2 : 11;
  }
  for (int p = 0; p < kLh5PositionSymbols; ++p) prices.position[p] = 4 + (p > 1 ? p - 1 : 0);
  return prices;
}

SymbolPrices SymbolPrices::of(const LzhItem* items, std::size_t count) {
  std::uint32_t literal_freq[kLh5LiteralLengthSymbols] = {};
  std::uint32_t position_freq[kLh5PositionSymbols] = {};
  for (const LzhItem* item = items; item != items + count; ++item) {
    ++literal_freq[item->symbol];
    if (item->symbol >= 256) ++position_freq[lh5_position_symbol(item->distance_code)];
  }
  std::uint8_t literal_lengths[kLh5LiteralLengthSymbols];
  std::uint8_t position_lengths[kLh5PositionSymbols];
  smoothed_lengths(literal_freq, kLh5LiteralLengthSymbols, literal_lengths);
  smoothed_lengths(position_freq, kLh5PositionSymbols, position_lengths);
  SymbolPrices prices;
  for (int s = 0; s < kLh5LiteralLengthSymbols; ++s) prices.literal_length[s] = literal_lengths[s];
  for (int p = 0; p < kLh5PositionSymbols; ++p) prices.position[p] = position_lengths[p] + (p > 1 ? p - 1 : 0);
  return prices;
}

OptimalParser::OptimalParser(const std::uint8_t* data, MatchFinder& finder, std::size_t long_enough)
    : data_(data), finder_(finder), long_enough_(long_enough) {}

void OptimalParser::find_matches(std::size_t start, std::size_t end) {
  start_ = start;
  end_ = end;
  first_.resize(end - start + 1);
  matches_.clear();
  Match found[kLh5MaxMatch];
  std::size_t p = start;
  while (p < end) {
    first_[p - start] = static_cast<std::uint32_t>(matches_.size());
    const std::size_t count = finder_.insert_and_find(p, found);
    // Matches end with the stretch: the next one is chosen on its own.
    const std::uint32_t room = static_cast<std::uint32_t>(std::min<std::size_t>(end - p, kLh5MaxMatch));
    if (count > 0 && found[count - 1].length >= long_enough_ && room >= kLh5MinMatch) {
      // A long match is taken whole: only it is offered here, and the positions it covers
      // are inserted without a search of their own.
      Match longest = found[count - 1];
      longest.length = std::min(longest.length, room);
      matches_.push_back(longest);
      const std::size_t covered_end = p + longest.length;
      for (++p; p < covered_end; ++p) {
        finder_.insert(p);
        first_[p - start] = static_cast<std::uint32_t>(matches_.size());
      }
      continue;
    }
    for (std::size_t k = 0; k < count; ++k) {
      Match m = found[k];
      if (m.length >= room) {
        m.length = room;
        if (room >= kLh5MinMatch) matches_.push_back(m);
        break;
      }
      matches_.push_back(m);
    }
    ++p;
  }
  first_[end - start] = static_cast<std::uint32_t>(matches_.size());
}

void OptimalParser::choose(const SymbolPrices& prices, std::vector<LzhItem>& items) {
  const std::size_t n = end_ - start_;
  price_.assign(n + 1, std::numeric_limits<std::uint32_t>::max());
  step_.resize(n + 1);
  // Plain pointers: through the vectors, every store would make the compiler read their
  // buffers' addresses again.
  std::uint32_t* price = price_.data();
  std::uint32_t* step = step_.data();
  const std::uint32_t* first = first_.data();
  const Match* matches = matches_.data();
  const std::uint32_t* literal_price = prices.literal_length;
  const std::uint32_t* length_price = prices.literal_length + 256 - kLh5MinMatch;
  const std::uint8_t* data = data_ + start_;
  price[0] = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint32_t here = price[i];
    const std::uint32_t literal = here + literal_price[data[i]];
    if (literal < price[i + 1]) {
      price[i + 1] = literal;
      step[i + 1] = 1;
    }
    // Each length is offered at the nearest distance that reaches it.
    std::uint32_t length = kLh5MinMatch;
    std::uint32_t* reach_price = price + i;
    std::uint32_t* reach_step = step + i;
    for (std::uint32_t k = first[i]; k < first[i + 1]; ++k) {
      const Match m = matches[k];
      const std::uint32_t base = here + prices.position[lh5_position_symbol(m.distance - 1)];
      const std::uint32_t distance_part = m.distance << 16;
      for (; length <= m.length; ++length) {
        const std::uint32_t total = base + length_price[length];
        if (total < reach_price[length]) {
          reach_price[length] = total;
          reach_step[length] = distance_part | length;
        }
      }
    }
  }
  // Walk back from the end, then turn the new items around.
  const std::size_t first_new = items.size();
  for (std::size_t i = n; i > 0;) {
    const std::uint32_t length = step[i] & 0xFFFF;
    if (length == 1) {
      items.push_back({data[i - 1], 0});
    } else {
      items.push_back(
          {static_cast<std::uint16_t>(256 + length - kLh5MinMatch), static_cast<std::uint16_t>((step[i] >> 16) - 1)});
    }
    i -= length;
  }
  std::reverse(items.begin() + static_cast<std::ptrdiff_t>(first_new), items.end());
}

namespace {

// Matches are chosen a stretch at a time, and each stretch becomes one block: long enough that
// a block's tables cost little against its codes, short enough that they follow the data.
constexpr std::size_t kStretchBytes = std::size_t{1} << 16;
// A match this long is taken without weighing the shorter choices inside it.
constexpr std::size_t kLongEnough = 32;

}  // namespace

SectionCoder::SectionCoder(const std::uint8_t* data, std::size_t size, int max_depth)
    : finder_(data, size, kLh5Window, kLh5MaxMatch, std::max(1, max_depth)), parser_(data, finder_, kLongEnough) {}

void SectionCoder::code(std::size_t start, std::size_t end, SectionItems& out) {
  out.items.clear();
  out.stretch_ends.clear();
  finder_.restart(end);
  for (std::size_t p = start - std::min(start, kLh5Window); p < start; ++p) finder_.insert(p);
  // The first stretch is chosen twice, the second time at the prices of the tables the first
  // choice made; later stretches start from their predecessor's tables, which are close enough
  // that a second pass gains little.
  SymbolPrices prices = SymbolPrices::initial();
  for (std::size_t from = start; from < end; from += kStretchBytes) {
    parser_.find_matches(from, std::min(end, from + kStretchBytes));
    const std::size_t first = out.items.size();
    const int passes = from == start ? 2 : 1;
    for (int pass = 0; pass < passes; ++pass) {
      out.items.resize(first);
      parser_.choose(prices, out.items);
      prices = SymbolPrices::of(out.items.data() + first, out.items.size() - first);
    }
    out.stretch_ends.push_back(out.items.size());
  }
}

}  // namespace tolvex::lha
