#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "archive_bytes.h"
#include "lha/detail/bit_io.h"
#include "lha/detail/lzh_decoder.h"
#include "lha/detail/lzh_encoder.h"
#include "lha/detail/member_header.h"

namespace tolvex::lha {
namespace {

using testing::Bytes;

Result decode_lh5(const Bytes& stream, std::uint64_t original_size) {
  MemoryInput input(stream);
  BitReader bits(input, stream.size());
  NullSink sink;
  LzhParameters lh5;
  lzh_parameters_for("-lh5-", lh5);
  return decode_lzh(lh5, bits, original_size, sink);
}

Bytes two_member_archive() {
  Bytes archive;
  write_archive({{"first.txt", testing::text_bytes(20000, 1), 0, Method::kLh5},
                 {"second.bin", testing::random_bytes(300, 2), 0, Method::kLh5}},
                archive);
  return archive;
}

TEST(HostileArchive, EveryTruncationFailsCleanlyAndNeverYieldsWrongData) {
  Bytes whole = two_member_archive();
  auto expected = testing::decode_all(whole);
  ASSERT_EQ(expected.size(), 2u);
  for (std::size_t length = 0; length < whole.size(); ++length) {
    Bytes prefix(whole.begin(), whole.begin() + static_cast<long>(length));
    Result end;
    auto members = testing::decode_all(prefix, &end);
    bool any_error = !end.ok();
    for (std::size_t i = 0; i < members.size(); ++i) {
      if (members[i].result.ok()) ASSERT_EQ(members[i].data, expected[i].data) << length;
      else any_error = true;
    }
    // Cut anywhere but at a member boundary, the damage must be reported.
    if (members.size() < 2 && length != 0 && !any_error) {
      ASSERT_TRUE(members.size() == 1 && members[0].result.ok()) << length;
    }
  }
}

TEST(HostileArchive, FlippedBytesNeverCrashAndGoodResultsMatchTheirHeaders) {
  Bytes whole = two_member_archive();
  std::mt19937 rng(42);
  for (int round = 0; round < 1500; ++round) {
    Bytes damaged = whole;
    for (int flips = 1 + round % 4; flips > 0; --flips)
      damaged[rng() % damaged.size()] ^= static_cast<std::uint8_t>(1 + rng() % 255);
    for (const auto& member : testing::decode_all(damaged)) {
      if (member.result.ok() && !member.header.is_directory) {
        ASSERT_EQ(member.data.size(), member.header.original_size);
      }
    }
  }
}

TEST(HostileArchive, HugeDeclaredSizeFailsWithoutProducingMoreThanTheDataHolds) {
  Bytes archive = testing::single_member_archive("big.txt", testing::text_bytes(30000, 3));
  testing::patch_level2_header(archive, [](Bytes& a) { testing::put_le32(a, 11, 0xFFFFFFFFu); });
  auto members = testing::decode_all(archive);
  ASSERT_EQ(members.size(), 1u);
  EXPECT_FALSE(members[0].result.ok());
  EXPECT_LE(members[0].data.size(), 30000u + 256u);
}

TEST(HostileArchive, BombStopsAtItsDeclaredSizeAndHugeDeclaredSizesReachTheCaller) {
  // With 256 blocks these bytes decode to 4,294,901,761 bytes: only the declared size bounds them.
  const Bytes stream = testing::lh5_bomb_stream(2);
  Bytes bomb = testing::level0_member("-lh5-", "bomb.___", stream, 0);
  testing::set_level0_original_size(bomb, 100000);
  auto members = testing::decode_all(bomb);
  ASSERT_EQ(members.size(), 1u);
  EXPECT_EQ(members[0].result.status, Status::kCorruptData);
  EXPECT_LE(members[0].data.size(), 100000u);

  // A 64-bit size extension is passed on as declared, for the caller to judge before decoding.
  Bytes sizes(16, 0);
  store_le16(sizes.data(), static_cast<std::uint16_t>(stream.size()));
  sizes[8 + 5] = 1;  // 2^40
  const Bytes huge = testing::level2_member("-lh5-", "huge.___", stream, 0, 'U', {{0x42, sizes}});
  MemoryInput input(huge);
  MemberHeader header;
  bool at_end = false;
  ASSERT_TRUE(read_member_header(input, header, at_end).ok());
  EXPECT_EQ(header.original_size, std::uint64_t{1} << 40);
  EXPECT_EQ(header.packed_size, stream.size());
}

TEST(HostileArchive, LyingPackedSizesAndStoredSizeMismatch) {
  Bytes stored = testing::single_member_archive("s.txt", testing::bytes_of("0123456789"), Method::kStored);
  testing::patch_level2_header(stored, [](Bytes& a) { testing::put_le32(a, 7, 5); });
  auto members = testing::decode_all(stored);
  ASSERT_FALSE(members.empty());
  EXPECT_EQ(members[0].result.status, Status::kBadHeader);

  Bytes longer = testing::single_member_archive("s.txt", testing::bytes_of("0123456789"), Method::kStored);
  testing::patch_level2_header(longer, [](Bytes& a) {
    testing::put_le32(a, 7, 1000);
    testing::put_le32(a, 11, 1000);
  });
  members = testing::decode_all(longer);
  ASSERT_FALSE(members.empty());
  EXPECT_EQ(members[0].result.status, Status::kTruncated);
}

TEST(HostileArchive, CrcAndHeaderChecksumMismatchesAreReported) {
  Bytes archive = testing::single_member_archive("c.txt", testing::text_bytes(5000, 4));
  testing::patch_level2_header(archive, [](Bytes& a) { a[21] ^= 0x01; });
  auto members = testing::decode_all(archive);
  ASSERT_EQ(members.size(), 1u);
  EXPECT_EQ(members[0].result.status, Status::kCrcMismatch);

  Bytes bad_header_crc = testing::single_member_archive("c.txt", testing::text_bytes(50, 4));
  bad_header_crc[12] ^= 0x40;  // original size changed behind the header CRC's back
  Result end;
  testing::decode_all(bad_header_crc, &end);
  EXPECT_EQ(end.status, Status::kHeaderChecksum);

  Bytes level0 = testing::level0_member("-lh0-", "a.txt", testing::bytes_of("abc"), 0);
  level0[1] ^= 0xFF;
  testing::decode_all(level0, &end);
  EXPECT_EQ(end.status, Status::kHeaderChecksum);
}

TEST(HostileArchive, UnsupportedMethodFailsThatMemberOnlyAndUnknownHeadersStop) {
  Bytes archive = testing::level0_member("-lh1-", "old.txt", testing::bytes_of("whatever"), 0);
  Bytes good = testing::level0_member("-lh0-", "ok.txt", testing::bytes_of("fine"),
                                      crc16(reinterpret_cast<const std::uint8_t*>("fine"), 4));
  archive.insert(archive.end(), good.begin(), good.end());
  archive.push_back(0);
  auto members = testing::decode_all(archive);
  ASSERT_EQ(members.size(), 2u);
  EXPECT_EQ(members[0].result.status, Status::kUnsupportedMethod);
  EXPECT_TRUE(members[1].result.ok()) << members[1].result.message;
  EXPECT_EQ(members[1].data, testing::bytes_of("fine"));

  Result end;
  testing::decode_all(testing::bytes_of("MZ this is not an archive at all, just text"), &end);
  EXPECT_EQ(end.status, Status::kBadHeader);
  Bytes level7 = testing::level0_member("-lh0-", "a", {}, 0);
  level7[20] = 7;
  testing::decode_all(level7, &end);
  EXPECT_FALSE(end.ok());
}

TEST(HostileStream, DistanceBeforeTheStartIsCorrupt) {
  Bytes stream;
  BitWriter bits(stream);
  bits.put(16, 1);
  bits.put(5, 0), bits.put(5, 0);    // code-length table: single symbol
  bits.put(9, 0), bits.put(9, 256);  // every symbol is "match of length 3"
  bits.put(4, 0), bits.put(4, 0);    // every position is distance 1
  bits.flush();
  Result result = decode_lh5(stream, 3);
  EXPECT_EQ(result.status, Status::kCorruptData);
  EXPECT_NE(result.message.find("before the start"), std::string::npos);
}

TEST(HostileStream, InvalidTablesAreCorrupt) {
  auto stream_with = [](const std::function<void(BitWriter&)>& body) {
    Bytes stream;
    BitWriter bits(stream);
    bits.put(16, 10);
    body(bits);
    bits.put(32, 0);
    bits.flush();
    return stream;
  };
  // Three code lengths of 1 over-fill the code space.
  EXPECT_EQ(decode_lh5(stream_with([](BitWriter& b) {
                         b.put(5, 3);
                         for (int i = 0; i < 3; ++i) b.put(3, 1);
                         b.put(2, 0);
                       }),
                       10)
                .status,
            Status::kCorruptData);
  // More code lengths than symbols.
  EXPECT_EQ(decode_lh5(stream_with([](BitWriter& b) { b.put(5, 31); }), 10).status, Status::kCorruptData);
  // A single literal symbol outside the alphabet.
  EXPECT_EQ(decode_lh5(stream_with([](BitWriter& b) {
                         b.put(5, 0), b.put(5, 0);
                         b.put(9, 0), b.put(9, 511);
                       }),
                       10)
                .status,
            Status::kCorruptData);
  // A single position symbol outside the -lh5- alphabet.
  EXPECT_EQ(decode_lh5(stream_with([](BitWriter& b) {
                         b.put(5, 0), b.put(5, 0);
                         b.put(9, 0), b.put(9, 65);
                         b.put(4, 0), b.put(4, 15);
                       }),
                       10)
                .status,
            Status::kCorruptData);
  // A block of zero symbols would loop forever.
  Bytes empty_block;
  BitWriter bits(empty_block);
  bits.put(16, 0);
  bits.put(5, 0), bits.put(5, 0), bits.put(9, 0), bits.put(9, 65), bits.put(4, 0), bits.put(4, 0);
  bits.flush();
  EXPECT_EQ(decode_lh5(empty_block, 10).status, Status::kCorruptData);
}

TEST(HostileStream, DataThatEndsEarlyIsTruncated) {
  Bytes data = testing::text_bytes(10000, 5);
  Bytes stream = encode_lh5(data.data(), data.size());
  stream.resize(stream.size() / 2);
  EXPECT_EQ(decode_lh5(stream, data.size()).status, Status::kTruncated);
}

}  // namespace
}  // namespace tolvex::lha
