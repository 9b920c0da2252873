#include "lha/huffman_encoder.h"

#include <algorithm>
#include <functional>
#include <queue>
#include <utility>

namespace tolvex::lha {
namespace {

// Depth of every leaf of an ordinary Huffman tree over the used symbols.
std::vector<int> tree_depths(const std::vector<std::uint32_t>& frequencies, const std::vector<int>& used) {
  std::size_t leaves = used.size();
  std::vector<int> parent(2 * leaves, -1);
  using Node = std::pair<std::uint64_t, int>;  // weight, node index
  std::priority_queue<Node, std::vector<Node>, std::greater<Node>> queue;
  for (std::size_t i = 0; i < leaves; ++i) queue.push({frequencies[used[i]], static_cast<int>(i)});
  int next = static_cast<int>(leaves);
  while (queue.size() > 1) {
    Node a = queue.top();
    queue.pop();
    Node b = queue.top();
    queue.pop();
    parent[a.second] = next;
    parent[b.second] = next;
    queue.push({a.first + b.first, next++});
  }
  std::vector<int> depths(leaves, 0);
  for (std::size_t i = 0; i < leaves; ++i) {
    for (int node = static_cast<int>(i); parent[node] >= 0; node = parent[node]) ++depths[i];
  }
  return depths;
}

}  // namespace

std::vector<std::uint8_t> huffman_code_lengths(const std::vector<std::uint32_t>& frequencies, int max_length) {
  std::vector<std::uint8_t> lengths(frequencies.size(), 0);
  std::vector<int> used;
  for (std::size_t s = 0; s < frequencies.size(); ++s) {
    if (frequencies[s] > 0) used.push_back(static_cast<int>(s));
  }
  if (used.size() < 2) return lengths;

  // How many leaves sit at each depth, deeper ones pulled up to max_length.
  std::vector<std::uint32_t> per_length(max_length + 1, 0);
  for (int depth : tree_depths(frequencies, used)) ++per_length[std::min(depth, max_length)];

  // Restore Kraft equality in units of 2^-max_length: push leaves down while the code is
  // over-full, then pull the deepest up while it has room.
  const std::uint64_t full = std::uint64_t{1} << max_length;
  std::uint64_t kraft = 0;
  for (int len = 1; len <= max_length; ++len) kraft += std::uint64_t{per_length[len]} << (max_length - len);
  while (kraft > full) {
    int len = max_length - 1;
    while (len > 0 && per_length[len] == 0) --len;
    if (len == 0) break;  // more symbols than max_length allows; cannot happen for LHA tables
    --per_length[len];
    ++per_length[len + 1];
    kraft -= std::uint64_t{1} << (max_length - len - 1);
  }
  while (kraft < full) {
    int len = max_length;
    while (per_length[len] == 0) --len;
    --per_length[len];
    ++per_length[len - 1];
    kraft += std::uint64_t{1} << (max_length - len);
  }

  // The most frequent symbols get the shortest codes.
  std::stable_sort(used.begin(), used.end(), [&](int a, int b) { return frequencies[a] > frequencies[b]; });
  std::size_t k = 0;
  for (int len = 1; len <= max_length; ++len) {
    for (std::uint32_t n = 0; n < per_length[len]; ++n) lengths[used[k++]] = static_cast<std::uint8_t>(len);
  }
  return lengths;
}

std::vector<std::uint16_t> canonical_codes(const std::vector<std::uint8_t>& lengths) {
  std::vector<std::uint16_t> codes(lengths.size(), 0);
  std::uint32_t code = 0;
  for (int len = 1; len <= 16; ++len) {
    for (std::size_t s = 0; s < lengths.size(); ++s) {
      if (lengths[s] == len) codes[s] = static_cast<std::uint16_t>(code++);
    }
    code <<= 1;
  }
  return codes;
}

}  // namespace tolvex::lha
