#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "archive_bytes.h"
#include "lha/detail/optimal_parser.h"

namespace tolvex::lha {
namespace {

using testing::Bytes;

std::size_t shared_length(const Bytes& data, std::size_t a, std::size_t b, std::size_t limit) {
  std::size_t n = 0;
  while (n < limit && data[a + n] == data[b + n]) ++n;
  return n;
}

// Against a search of every earlier position: with no bound on its depth, the trees must report
// at each position exactly the matches that get longer as the distance grows, each at the nearest
// distance for its length, up to the longest the window holds. Three letters make matches many;
// a short longest length makes positions that agree as far as it goes common (one then takes the
// other's place in its tree); a long run of one letter reaches the input's end.
TEST(MatchFinder, ReportsTheNearestMatchForEveryLongerLengthAsAFullSearchFindsThem) {
  constexpr std::size_t kWindow = 300;
  Bytes data = testing::random_bytes(6000, 21);
  for (std::uint8_t& byte : data) byte = static_cast<std::uint8_t>('a' + byte % 3);
  data.insert(data.end(), 500, 'a');
  for (std::size_t max_length : {6u, 40u}) {
    MatchFinder finder(data.data(), data.size(), kWindow, max_length, 1 << 20);
    std::vector<Match> found(max_length);
    for (std::size_t p = 0; p < data.size(); ++p) {
      const std::size_t count = finder.insert_and_find(p, found.data());
      std::vector<Match> expected;
      const std::size_t limit = std::min(max_length, data.size() - p);
      std::size_t longest = 2;
      for (std::size_t distance = 1; distance <= std::min(p, kWindow); ++distance) {
        const std::size_t length = limit < 3 ? 0 : shared_length(data, p, p - distance, limit);
        if (length > longest) {
          longest = length;
          expected.push_back({static_cast<std::uint32_t>(length), static_cast<std::uint32_t>(distance)});
        }
      }
      ASSERT_EQ(count, expected.size()) << "longest " << max_length << ", at " << p;
      for (std::size_t k = 0; k < count; ++k) {
        ASSERT_EQ(found[k].length, expected[k].length) << "longest " << max_length << ", at " << p << ", " << k;
        ASSERT_EQ(found[k].distance, expected[k].distance) << "longest " << max_length << ", at " << p << ", " << k;
      }
    }
  }
}

// Restarted, a finder forgets what it held: a match reaches only positions inserted since, and
// ends where the new end says.
TEST(MatchFinder, RestartForgetsEarlierPositionsAndEndsMatchesAtTheNewEnd) {
  Bytes data(4000, 'x');
  MatchFinder finder(data.data(), data.size(), 1000, 256, 64);
  Match found[256];
  for (std::size_t p = 0; p < 2000; ++p) finder.insert(p);
  finder.restart(2500);
  EXPECT_EQ(finder.insert_and_find(2100, found), 0u);
  ASSERT_EQ(finder.insert_and_find(2101, found), 1u);
  EXPECT_EQ(found[0].distance, 1u);
  for (std::size_t p = 2102; p < 2497; ++p) finder.insert(p);
  ASSERT_EQ(finder.insert_and_find(2497, found), 1u);
  EXPECT_EQ(found[0].length, 3u);
  EXPECT_EQ(finder.insert_and_find(2498, found), 0u);
}

}  // namespace
}  // namespace tolvex::lha
