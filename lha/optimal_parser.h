#pragma once
// Chooses the literals and matches of -lh5- for a stretch of input so that their coded size is
// smallest under given prices: every match the finder reports at every position is weighed, by
// a shortest-path pass over the positions, against the bits it costs. The prices come from the
// Huffman tables of an earlier choice, so a stretch may be chosen again at the prices its own
// first choice gives.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "lha/lzh_block_writer.h"
#include "lha/match_finder.h"

namespace tolvex::lha {

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

}  // namespace tolvex::lha
