#include "lha/match_finder.h"

#include <algorithm>
#include <cstring>

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

}  // namespace tolvex::lha
