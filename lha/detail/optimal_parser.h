#pragma once
// How -lh5- chooses its literals and matches: the match finder, the parser that weighs its
// matches by their price in bits, and the coder of one section that drives both.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "lha/detail/lzh_encoder.h"

namespace tolvex::lha {

// Finds every useful match at each position through binary search trees, one per hash of the
// first three bytes: each tree holds the window's positions ordered by the bytes that follow
// them, and a search that walks down from the root meets the positions sharing the longest
// prefixes with the new one. Inserting a position is that same walk, which leaves the new
// position as the root. A walk is bounded in depth, so a long run of equal bytes cannot make it
// slow.
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

// Chooses the literals and matches of -lh5- for a stretch of input so that their coded size is
// smallest under given prices: every match the finder reports at every position is weighed, by
// a shortest-path pass over the positions, against the bits it costs. The prices come from the
// Huffman tables of an earlier choice, so a stretch may be chosen again at the prices its own
// first choice gives.
// Bits each symbol costs: a literal or length symbol's code, a position symbol's code plus the
// distance bits that follow it.
struct SymbolPrices {
  std::uint32_t literal_length[kLh5LiteralLengthSymbols];
  std::uint32_t position[kLh5PositionSymbols];

  // Prices a first stretch uses, before any table has been built: eight bits a literal, lengths
  // and positions about as a typical table codes them.
  static SymbolPrices initial();
  // The prices of the tables these items would be coded with, every symbol counted once more
  // than it occurs: a symbol not used yet is priced as rare rather than never chosen.
  static SymbolPrices of(const LzhItem* items, std::size_t count);
};

class OptimalParser {
 public:
  // `finder` must have every position before the first stretch's start inserted. A match found
  // at least `long_enough` long is taken as it is, without weighing the positions it covers.
  OptimalParser(const std::uint8_t* data, MatchFinder& finder, std::size_t long_enough);
  OptimalParser(const OptimalParser&) = delete;
  OptimalParser& operator=(const OptimalParser&) = delete;

  // Finds the matches of [start, end), inserting those positions into the finder; stretches
  // must follow one another.
  void find_matches(std::size_t start, std::size_t end);
  // Appends to `items` the cheapest items for the stretch last found, under `prices`.
  void choose(const SymbolPrices& prices, std::vector<LzhItem>& items);

 private:
  const std::uint8_t* data_;
  MatchFinder& finder_;
  std::size_t long_enough_;
  std::size_t start_ = 0;
  std::size_t end_ = 0;
  // The matches of position start_ + i are matches_[first_[i] .. first_[i + 1]).
  std::vector<std::uint32_t> first_;
  std::vector<Match> matches_;
  // Per position of the stretch: the cheapest price to reach it, and the item that ends there
  // (its length, and above that its distance for a match).
  std::vector<std::uint32_t> price_;
  std::vector<std::uint32_t> step_;
};

// The items of one section, a stretch after another; each stretch becomes a block.
struct SectionItems {
  std::vector<LzhItem> items;
  std::vector<std::size_t> stretch_ends;  // item index past each stretch's last item
};

// Chooses the -lh5- items of one section of the input on its own: its matches may reach back
// into the window before it, but its prices start afresh, so sections can be coded in any
// order and on any thread with the same result. Holds the tables a section needs, so one coder
// serves many sections without allocating them again.
class SectionCoder {
 public:
  // `data` holds `size` bytes; `max_depth` bounds each match search.
  SectionCoder(const std::uint8_t* data, std::size_t size, int max_depth);
  SectionCoder(const SectionCoder&) = delete;
  SectionCoder& operator=(const SectionCoder&) = delete;

  // Chooses the items of data[start, end) into `out` (replaced).
  void code(std::size_t start, std::size_t end, SectionItems& out);

 private:
  MatchFinder finder_;
  OptimalParser parser_;
};

}  // namespace tolvex::lha
