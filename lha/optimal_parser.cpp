#include "lha/optimal_parser.h"

#include <algorithm>
#include <limits>

#include "lha/huffman_encoder.h"

namespace tolvex::lha {
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

}  // namespace tolvex::lha
