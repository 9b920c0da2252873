#include "lha/section_coder.h"

#include <algorithm>

namespace tolvex::lha {
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
