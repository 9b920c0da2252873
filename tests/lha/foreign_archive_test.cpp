// Archives written on other platforms, built from bytes the way their archivers lay them out.
#include <gtest/gtest.h>

#include "archive_bytes.h"
#include "lha/detail/member_header.h"

namespace tolvex::lha {
namespace {

using testing::Bytes;

std::uint16_t crc_of(const Bytes& data) { return crc16(data.data(), data.size()); }

Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(ForeignArchive, Os9HeadersCountedTwoBytesShortAreRead) {
  const Bytes first = testing::bytes_of("written on OS-9\n"), second = testing::bytes_of("and the next one");
  Bytes archive = testing::level2_member("-lh0-", "first.txt", first, crc_of(first), 'K', {}, 2) +
                  testing::level2_member("-lh0-", "second.txt", second, crc_of(second), 'K', {}, 2) + Bytes{0};
  Result end;
  auto members = testing::decode_all(archive, &end);
  ASSERT_TRUE(end.ok()) << end.message;
  ASSERT_EQ(members.size(), 2u);
  EXPECT_TRUE(members[0].result.ok()) << members[0].result.message;
  EXPECT_EQ(members[0].header.file_name, "first.txt");
  EXPECT_EQ(members[0].data, first);
  EXPECT_EQ(members[1].header.file_name, "second.txt");
  EXPECT_EQ(members[1].data, second);

  // An OS-9 header that counts itself in full is read as it is.
  members = testing::decode_all(testing::level2_member("-lh0-", "whole.txt", first, crc_of(first), 'K'), &end);
  ASSERT_EQ(members.size(), 1u);
  EXPECT_EQ(members[0].data, first);
  // The same shortness from any other system is damage.
  testing::decode_all(testing::level2_member("-lh0-", "short.txt", first, crc_of(first), 'U', {}, 2), &end);
  EXPECT_EQ(end.status, Status::kBadHeader);
}

TEST(ForeignArchive, AmigaCommentsEndTheNameAndEmptyMembersNamedLikeFoldersAreDirectories) {
  const Bytes notes = testing::bytes_of("from an Amiga");
  Bytes archive = testing::level0_member("-lh0-", "docs/", {}, 0) +
                  testing::level0_member("-lh0-", std::string("docs/notes.txt\0a comment", 24), notes, crc_of(notes)) +
                  testing::level0_member("-lh0-", "empty.txt", {}, 0) + Bytes{0};
  Result end;
  auto members = testing::decode_all(archive, &end);
  ASSERT_TRUE(end.ok()) << end.message;
  ASSERT_EQ(members.size(), 3u);
  EXPECT_TRUE(members[0].header.is_directory);
  EXPECT_TRUE(members[0].result.ok());
  EXPECT_EQ(members[1].header.stored_path, "docs/notes.txt");
  EXPECT_EQ(members[1].header.file_name, "notes.txt");
  EXPECT_EQ(members[1].data, notes);
  EXPECT_FALSE(members[2].header.is_directory);  // an empty file with an ordinary name
  EXPECT_EQ(members[2].header.file_name, "empty.txt");
}

TEST(ForeignArchive, OldLevel0HeadersWithoutACrcAreStillDecodedAndSaySo) {
  const Bytes data = testing::bytes_of("sixteen bytes!!!");
  for (bool stray_byte : {false, true}) {
    auto members = testing::decode_all(testing::level0_member_without_crc("-lh0-", "plo.___", data, stray_byte) +
                                       testing::level0_member("-lh0-", "next.txt", data, crc_of(data)));
    ASSERT_EQ(members.size(), 2u) << stray_byte;
    EXPECT_FALSE(members[0].header.has_crc);
    EXPECT_TRUE(members[0].result.ok());
    EXPECT_EQ(members[0].data, data);
    EXPECT_TRUE(members[1].header.has_crc);
    EXPECT_EQ(members[1].data, data);
  }
}

}  // namespace
}  // namespace tolvex::lha
