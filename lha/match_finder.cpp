#include "lha/match_finder.h"

#include <cstring>

namespace tolvex::lha {

MatchFinder::MatchFinder(const std::uint8_t* data, std::size_t size, std::size_t window, std::size_t max_length,
                         int max_chain)
    : data_(data), size_(size), window_(window), max_length_(max_length), max_chain_(max_chain) {
  // Twice the window, so an entry is never overwritten while a search can still reach it; or
  // enough for every position of a shorter input, which then never reuses an entry.
  std::size_t chain_size = 1;
  while (chain_size < 2 * window && chain_size < size) chain_size <<= 1;
  chain_mask_ = chain_size - 1;
  // About one hash slot per two positions, up to 2^15: more would only spread a short input
  // thinner, and the slots are zeroed for every input.
  int hash_bits = kMinHashBits;
  while (hash_bits < kMaxHashBits && (std::size_t{2} << hash_bits) < size) ++hash_bits;
  hash_shift_ = 32 - hash_bits;
  head_.resize(std::size_t{1} << hash_bits);
  chain_.reset(new std::size_t[chain_size]);
}

std::uint32_t MatchFinder::hash_at(std::size_t position) const {
  const std::uint8_t* p = data_ + position;
  std::uint32_t key = p[0] | (p[1] << 8) | (p[2] << 16);
  return (key * 2654435761u) >> hash_shift_;
}

void MatchFinder::insert(std::size_t position) {
  if (position + 3 > size_) return;
  std::uint32_t h = hash_at(position);
  chain_[position & chain_mask_] = head_[h];
  head_[h] = position + 1;
}

std::size_t MatchFinder::common_length(const std::uint8_t* a, const std::uint8_t* b, std::size_t limit) const {
  std::size_t n = 0;
  while (n + 8 <= limit) {
    std::uint64_t x, y;
    std::memcpy(&x, a + n, 8);
    std::memcpy(&y, b + n, 8);
    if (x != y) {
      std::uint64_t diff = x ^ y;
      // Little- and big-endian hosts find the first differing byte at opposite ends.
      static const std::uint16_t probe = 1;
      bool little = *reinterpret_cast<const std::uint8_t*>(&probe) == 1;
      return n + static_cast<std::size_t>((little ? __builtin_ctzll(diff) : __builtin_clzll(diff)) / 8);
    }
    n += 8;
  }
  while (n < limit && a[n] == b[n]) ++n;
  return n;
}

Match MatchFinder::find(std::size_t position, std::size_t at_least) const {
  Match best;
  std::size_t limit = size_ - position < max_length_ ? size_ - position : max_length_;
  if (limit < 3) return best;
  std::size_t best_length = at_least < 2 ? 2 : at_least;
  if (best_length >= limit) return best;
  const std::uint8_t* here = data_ + position;
  std::size_t next = chain_[position & chain_mask_];
  for (int steps = 0; next != 0 && steps < max_chain_; ++steps) {
    std::size_t candidate = next - 1;
    std::size_t distance = position - candidate;
    if (distance > window_) break;
    const std::uint8_t* there = data_ + candidate;
    // Cheap rejection: a longer match must agree at the current best length.
    if (there[best_length] == here[best_length]) {
      std::size_t length = common_length(here, there, limit);
      if (length > best_length) {
        best_length = length;
        best.length = length;
        best.distance = distance;
        if (length == limit) break;
      }
    }
    next = chain_[candidate & chain_mask_];
  }
  return best;
}

}  // namespace tolvex::lha
