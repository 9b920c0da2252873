#include "lha/detail/member_header.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace tolvex::lha
