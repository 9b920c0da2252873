#pragma once
// Finds the longest earlier occurrence of the bytes at a position, through hash chains over
// three-byte prefixes. The whole input is in memory; positions index it directly. The tables
// are sized to the input (a small input gets small tables), since filling them costs more
// than the search itself for the short inputs the fuzzers and small members bring.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace tolvex::lha {

struct Match {
  std::size_t length = 0;    // 0 when nothing of at least three bytes was found
  std::size_t distance = 0;  // 1 = the previous byte
};

class MatchFinder {
 public:
  // `window` is the largest distance allowed, `max_length` the longest match, `max_chain` how
  // many candidates are compared at most per search.
  MatchFinder(const std::uint8_t* data, std::size_t size, std::size_t window, std::size_t max_length, int max_chain);

  // Adds `position` to the chains; positions must be inserted in increasing order.
  void insert(std::size_t position);
  // The longest match for `position` (which must already be inserted), longer than `at_least`.
  Match find(std::size_t position, std::size_t at_least) const;

 private:
  static constexpr int kMaxHashBits = 15;
  static constexpr int kMinHashBits = 8;
  std::uint32_t hash_at(std::size_t position) const;
  std::size_t common_length(const std::uint8_t* a, const std::uint8_t* b, std::size_t limit) const;

  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t window_;
  std::size_t max_length_;
  int max_chain_;
  int hash_shift_;  // 32 - the hash's bit count
  std::size_t chain_mask_;
  // Positions are kept plus one, so 0 means none and the heads start as plain zeroed memory.
  std::vector<std::size_t> head_;  // last position with each hash
  // Previous position with the same hash, by position & mask. Left uninitialised: a search
  // reads only the entries of positions already inserted, each written by its insert.
  std::unique_ptr<std::size_t[]> chain_;
};

}  // namespace tolvex::lha
