#pragma once
// Chooses the -lh5- items of one section of the input on its own: its matches may reach back
// into the window before it, but its prices start afresh, so sections can be coded in any
// order and on any thread with the same result. Holds the tables a section needs, so one coder
// serves many sections without allocating them again.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "lha/lzh_block_writer.h"
#include "lha/match_finder.h"
#include "lha/optimal_parser.h"

namespace tolvex::lha {

// The items of one section, a stretch after another; each stretch becomes a block.
struct SectionItems {
  std::vector<LzhItem> items;
  std::vector<std::size_t> stretch_ends;  // item index past each stretch's last item
};

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
