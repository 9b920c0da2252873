#include "lha/detail/member_header.h"

#include <gtest/gtest.h>

#include "archive_bytes.h"

namespace tolvex::lha {
namespace {

TEST(MemberName, KeepsOnlyTheLastComponentOfAnySeparator) {
  EXPECT_EQ(sanitised_file_name("readme.txt"), "readme.txt");
  EXPECT_EQ(sanitised_file_name("..\\..\\evil.txt"), "evil.txt");
  EXPECT_EQ(sanitised_file_name("/tmp/absolute_path.txt"), "absolute_path.txt");
  EXPECT_EQ(sanitised_file_name("C:\\Windows\\win.ini"), "win.ini");
  EXPECT_EQ(sanitised_file_name("dir\xFFsub\xFF"
                                "file.bin"),
            "file.bin");
  EXPECT_EQ(sanitised_file_name("a/b\\c"), "c");
}

TEST(MemberName, TrailBytes0x5CAnd0x7CAreNotSeparatorsOrPipes) {
  // ソ = 83 5C, 表 = 95 5C, ポ = 83 7C: double-byte characters whose trail bytes look like '\\' and '|'.
  EXPECT_EQ(sanitised_file_name("\x83\x5C\x83\x74\x83\x67.txt"), "\x83\x5C\x83\x74\x83\x67.txt");
  EXPECT_EQ(sanitised_file_name("dir\\\x95\x5C.dat"), "\x95\x5C.dat");
  EXPECT_EQ(sanitised_file_name("\x83\x7C.txt"), "\x83\x7C.txt");
}

TEST(MemberName, RefusesNamesThatLeaveTheFolderOrNameADevice) {
  for (const char* name :
       {"",        "..",  ".",        "dir\\..", "x/",        "C:",          "C:evil.txt", "a:b",       "CON",
        "con.txt", "NUL", "Com1.log", "LPT9",    "aux .x",    "CONOUT$",     "trailing.",  "trailing ", "a*b",
        "a?b",     "a|b", "a<b",      "a\"b",    "tab\there", "esc\x1b]2;x", "cut\x83"}) {
    EXPECT_EQ(sanitised_file_name(name), "") << name;
  }
  EXPECT_EQ(sanitised_file_name(std::string(256, 'a')), "");
  EXPECT_EQ(sanitised_file_name(std::string(255, 'a')), std::string(255, 'a'));
  EXPECT_EQ(sanitised_file_name("COM10"), "COM10");
  EXPECT_EQ(sanitised_file_name("console.txt"), "console.txt");
}

std::uint16_t bitwise_crc(const std::vector<std::uint8_t>& data) {
  std::uint16_t crc = 0;
  for (std::uint8_t byte : data) {
    crc ^= byte;
    for (int i = 0; i < 8; ++i)
      crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001) : static_cast<std::uint16_t>(crc >> 1);
  }
  return crc;
}

TEST(Crc16, MatchesTheCheckValueAndABitwiseReferenceAtEveryLengthAndSplit) {
  EXPECT_EQ(crc16(reinterpret_cast<const std::uint8_t*>("123456789"), 9), 0xBB3D);
  auto data = testing::random_bytes(100, 7);
  for (std::size_t length = 0; length <= data.size(); ++length) {
    std::vector<std::uint8_t> prefix(data.begin(), data.begin() + static_cast<long>(length));
    ASSERT_EQ(crc16(prefix.data(), prefix.size()), bitwise_crc(prefix)) << length;
    Crc16 split;
    split.update(prefix.data(), length / 3);
    split.update(prefix.data() + length / 3, length - length / 3);
    ASSERT_EQ(split.value(), bitwise_crc(prefix)) << length;
  }
}

}  // namespace
}  // namespace tolvex::lha
