// Archives written by our codec, extracted by lhasa: same names, same bytes.
#include <gtest/gtest.h>

#include "peer_tools.h"
#include "support/temp_dir.h"

namespace tolvex::lha {
namespace {

using namespace testing;

TEST(OurArchivesInLhasa, ListedAndExtractedByteForByte) {
  if (!have_program("lhasa")) GTEST_SKIP() << "lhasa is not installed";
  tolvex::testing::ScopedWorkDir work;
  Bytes program = read_bytes("/usr/bin/lhasa");
  Bytes big = text_bytes(400000, 31);
  Bytes noise = random_bytes(30000, 32);
  big.insert(big.begin() + 200000, noise.begin(), noise.end());
  std::vector<ArchiveMember> members{
      {"text.txt", text_bytes(50000, 33), 1700000000u, Method::kLh5},
      {"big.dat", big, 1700000001u, Method::kLh5},
      {"program.ex___", program, 1700000002u, Method::kLh5},
      {"noise.bin", random_bytes(10000, 34), 1700000003u, Method::kLh5},
      {"stored.txt", bytes_of("kept as is\r\n"), 1700000004u, Method::kStored},
      {"empty.dat", {}, 1700000005u, Method::kLh5},
      {"one.dat", {'1'}, 1700000006u, Method::kLh5},
      {"window.dat", Bytes(8192 * 3 + 1, 'w'), 1700000007u, Method::kLh5},
  };
  Bytes archive;
  ASSERT_TRUE(write_archive(members, archive).ok());
  write_bytes("ours.lzh", archive);
  std::filesystem::create_directories("out");
  ASSERT_EQ(run_quietly("cd out && lhasa -xqf ../ours.lzh"), 0);
  auto extracted = regular_files_by_lower_name("out");
  ASSERT_EQ(extracted.size(), members.size());
  for (const auto& member : members) EXPECT_EQ(extracted[member.name], member.data) << member.name;
}

TEST(OurArchivesInLhasa, LhasaNoticesACorruptedMember) {
  if (!have_program("lhasa")) GTEST_SKIP() << "lhasa is not installed";
  tolvex::testing::ScopedWorkDir work;
  Bytes archive = single_member_archive("text.txt", text_bytes(20000, 35));
  archive[archive.size() - 20] ^= 0x10;  // inside the compressed data
  write_bytes("bad.lzh", archive);
  std::filesystem::create_directories("out");
  run_quietly("cd out && lhasa -xqf ../bad.lzh");
  auto extracted = regular_files_by_lower_name("out");
  bool differs = extracted.count("text.txt") == 0 || extracted["text.txt"] != text_bytes(20000, 35);
  EXPECT_TRUE(differs);
  auto ours = decode_all(archive);
  ASSERT_EQ(ours.size(), 1u);
  EXPECT_FALSE(ours[0].result.ok());
}

}  // namespace
}  // namespace tolvex::lha
