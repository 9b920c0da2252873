#include <gtest/gtest.h>

#include "archive_bytes.h"
#include "lha/detail/lzh_decoder.h"
#include "lha/detail/lzh_encoder.h"

namespace tolvex::lha {
namespace {

using testing::Bytes;

Bytes decode_lh5_stream(const Bytes& stream, std::size_t original_size, Result& result) {
  MemoryInput input(stream);
  BitReader bits(input, stream.size());
  VectorSink sink;
  LzhParameters lh5;
  lzh_parameters_for("-lh5-", lh5);
  result = decode_lzh(lh5, bits, original_size, sink);
  return sink.bytes;
}

void expect_round_trip(const Bytes& data, const Lh5Options& options = {}) {
  Bytes stream = encode_lh5(data.data(), data.size(), options);
  Result result;
  Bytes decoded = decode_lh5_stream(stream, data.size(), result);
  ASSERT_TRUE(result.ok()) << result.message;
  ASSERT_EQ(decoded, data);
}

TEST(Lh5RoundTrip, EdgeSizes) {
  for (std::size_t size : {0u, 1u, 2u, 3u, 4u, 255u, 256u, 257u, 8191u, 8192u, 8193u, 16384u, 65537u}) {
    SCOPED_TRACE(size);
    expect_round_trip(testing::text_bytes(size, 1));
    expect_round_trip(testing::random_bytes(size, 2));
    expect_round_trip(Bytes(size, 0x41));
  }
}

TEST(Lh5RoundTrip, ManyBlocksAndSmallBlocks) {
  Bytes mixed = testing::text_bytes(300000, 3);
  Bytes noise = testing::random_bytes(50000, 4);
  mixed.insert(mixed.begin() + 100000, noise.begin(), noise.end());
  expect_round_trip(mixed);
  Lh5Options tiny_blocks;
  tiny_blocks.block_symbols = 1;
  expect_round_trip(testing::text_bytes(5000, 5), tiny_blocks);
  tiny_blocks.block_symbols = 7;
  expect_round_trip(testing::text_bytes(20000, 6), tiny_blocks);
  Lh5Options short_search;
  short_search.max_depth = 1;
  expect_round_trip(mixed, short_search);
}

TEST(Lh5RoundTrip, SectionsCodedOnSeveralThreadsGiveTheSameStream) {
  // Over 1 MiB sections: matches reach back across section boundaries, a short last section, and
  // a section of noise among text.
  Bytes data = testing::text_bytes(2'600'000, 14);
  Bytes noise = testing::random_bytes(1'100'000, 15);
  data.insert(data.begin() + 1'200'000, noise.begin(), noise.end());
  Lh5Options one_thread;
  one_thread.threads = 1;
  Bytes expected = encode_lh5(data.data(), data.size(), one_thread);
  for (unsigned threads : {2u, 3u, 7u}) {
    SCOPED_TRACE(threads);
    Lh5Options options;
    options.threads = threads;
    ASSERT_EQ(encode_lh5(data.data(), data.size(), options), expected);
  }
  expect_round_trip(data);
}

TEST(Lh5RoundTrip, MatchesAtTheWindowEdgeAndLongestLength) {
  // A block repeated exactly one window later exercises the farthest distance.
  Bytes block = testing::random_bytes(8192, 8);
  Bytes data = block;
  data.insert(data.end(), block.begin(), block.end());
  expect_round_trip(data);
  Bytes period = testing::random_bytes(300, 9);
  Bytes repeated;
  for (int i = 0; i < 50; ++i) repeated.insert(repeated.end(), period.begin(), period.end());
  expect_round_trip(repeated);
}

TEST(Lh5RoundTrip, CompressesRepetitiveDataAndKeepsRandomDataNearItsSize) {
  Bytes text = testing::text_bytes(100000, 10);
  EXPECT_LT(encode_lh5(text.data(), text.size()).size(), text.size() / 3);
  Bytes noise = testing::random_bytes(100000, 11);
  EXPECT_LT(encode_lh5(noise.data(), noise.size()).size(), noise.size() + noise.size() / 50);
}

TEST(ArchiveRoundTrip, MembersKeepNamesDataTimesAndMethods) {
  std::vector<ArchiveMember> members{
      {"TOLVEX.EX___", testing::text_bytes(40000, 12), 1700000000u, Method::kLh5},
      {"noise.bin", testing::random_bytes(5000, 13), 1u, Method::kLh5},  // falls back to -lh0-
      {"stored.txt", testing::bytes_of("stored as is"), 2u, Method::kStored},
      {"empty.dat", {}, 3u, Method::kLh5},
      {"sub\\dir/\x95\x5C.txt", testing::bytes_of("in a folder"), 4u, Method::kLh5},
  };
  Bytes archive;
  ASSERT_TRUE(write_archive(members, archive).ok());
  Result end;
  auto decoded = testing::decode_all(archive, &end);
  ASSERT_TRUE(end.ok()) << end.message;
  ASSERT_EQ(decoded.size(), members.size());
  const char* methods[] = {"-lh5-", "-lh0-", "-lh0-", "-lh0-", "-lh0-"};
  for (std::size_t i = 0; i < members.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(decoded[i].result.ok()) << decoded[i].result.message;
    EXPECT_EQ(decoded[i].data, members[i].data);
    EXPECT_EQ(decoded[i].header.level, 2);
    EXPECT_STREQ(decoded[i].header.method, methods[i]);
    EXPECT_EQ(decoded[i].header.timestamp, members[i].unix_time);
    EXPECT_TRUE(decoded[i].header.timestamp_is_unix);
  }
  EXPECT_EQ(decoded[0].header.file_name, "TOLVEX.EX___");
  EXPECT_EQ(decoded[4].header.stored_path, "sub\\dir\\\x95\x5C.txt");
  EXPECT_EQ(decoded[4].header.file_name, "\x95\x5C.txt");
}

TEST(ArchiveRoundTrip, HeaderSizeWithLowByteZeroIsPadded) {
  // Name lengths around the point where the header would be 256 bytes long.
  for (std::size_t length = 220; length < 240; ++length) {
    Bytes archive = testing::single_member_archive(std::string(length, 'n'), testing::bytes_of("x"));
    ASSERT_NE(archive[0], 0) << length;
    auto decoded = testing::decode_all(archive);
    ASSERT_EQ(decoded.size(), 1u);
    EXPECT_EQ(decoded[0].header.stored_path, std::string(length, 'n'));
  }
}

TEST(ArchiveRoundTrip, WriterRefusesUnusableNames) {
  Bytes archive;
  EXPECT_EQ(write_archive({{"", {}, 0, Method::kLh5}}, archive).status, Status::kBadArgument);
  EXPECT_EQ(write_archive({{"dir\\", {}, 0, Method::kLh5}}, archive).status, Status::kBadArgument);
}

}  // namespace
}  // namespace tolvex::lha
