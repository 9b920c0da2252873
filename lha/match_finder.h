#pragma once
// Finds every useful match at each position through binary search trees, one per hash of the
// first three bytes: each tree holds the window's positions ordered by the bytes that follow
// them, and a search that walks down from the root meets the positions sharing the longest
// prefixes with the new one. Inserting a position is that same walk, which leaves the new
// position as the root. A walk is bounded in depth, so a long run of equal bytes cannot make it
// slow.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace tolvex::lha {

struct Match {
  std::uint32_t length;    // at least three bytes
  std::uint32_t distance;  // 1 = the previous byte
};

class MatchFinder {
 public:
  // `window` is the largest distance allowed, `max_length` the longest match, `max_depth` how
  // many nodes a walk visits at most.
  MatchFinder(const std::uint8_t* data, std::size_t size, std::size_t window, std::size_t max_length, int max_depth);
  MatchFinder(const MatchFinder&) = delete;
  MatchFinder& operator=(const MatchFinder&) = delete;

  // Inserts `position` (in increasing order, none left out since the first) and writes its matches
  // into `out` (room for `max_length` - 2): each longer than the one before and nearest for its
  // length, nearest first. Returns how many.
  std::size_t insert_and_find(std::size_t position, Match* out);
  // Inserts `position` without reporting matches.
  void insert(std::size_t position);
  // Forgets every position inserted; from now on matches end at `end` (at most the size given
  // at construction), and inserting may start again at any position. Lets one finder, and its
  // tables, serve one stretch of input after another.
  void restart(std::size_t end);

 private:
  template <bool kReport>
  std::size_t walk(std::size_t position, Match* out);

  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t window_;
  std::size_t max_length_;
  int max_depth_;
  int hash_shift_;
  std::size_t node_mask_;
  // Positions are kept plus one, so 0 means none.
  std::vector<std::uint32_t> root_;  // the newest position with each hash: its tree's root
  // The two children of each position's node, by position & mask: [2n] smaller, [2n + 1]
  // larger. Written by the position's own insert before any walk can reach it.
  std::unique_ptr<std::uint32_t[]> children_;
};

}  // namespace tolvex::lha
