// Code page 932 literals, bounded copies and the separator scan that knows trail bytes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "text/cp932.h"

namespace tolvex {
namespace {

std::string hex(const std::string& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char b : bytes) {
    out += digits[b >> 4];
    out += digits[b & 15];
  }
  return out;
}

#if !defined(__clang__)  // the clang (fuzzing) build keeps UTF-8 literals
TEST(Cp932Literals, JapaneseTextsAreShiftJisBytes) {
  EXPECT_EQ(hex("ソ"), "835C");
  EXPECT_EQ(hex("表"), "955C");
  EXPECT_EQ(hex("終了"), "8F4997B9");
  EXPECT_EQ(hex("ﾊﾞｰｼﾞｮﾝﾁｪｯｸ(&C)"), "CADEB0BCDEAEDDC1AAAFB828264329");  // half-width katakana
  EXPECT_EQ(hex("Stablon２"), "537461626C6F6E8251");
  EXPECT_EQ(hex("１００％"), "8250824F824F8193");
}
#endif

TEST(CopyCp932Text, CopiesWholeTextsAndCutsOnCharacterBoundaries) {
  char out[5];
  EXPECT_TRUE(copy_cp932_text(out, sizeof out, "abcd"));
  EXPECT_STREQ(out, "abcd");
  EXPECT_FALSE(copy_cp932_text(out, sizeof out, "abcde"));
  EXPECT_STREQ(out, "abcd");
  EXPECT_FALSE(copy_cp932_text(out, sizeof out, "abc\x83\x5C"));  // ソ does not fit whole
  EXPECT_STREQ(out, "abc");
  EXPECT_TRUE(copy_cp932_text(out, sizeof out, "\x83\x5C\x95\x5C"));
  EXPECT_EQ(std::string(out), "\x83\x5C\x95\x5C");
}

TEST(CopyCp932Text, AppendStaysWithinTheBuffer) {
  char out[8] = "ab";
  EXPECT_TRUE(append_cp932_text(out, sizeof out, "cd"));
  EXPECT_FALSE(append_cp932_text(out, sizeof out, "efgh"));
  EXPECT_STREQ(out, "abcdefg");
  char unterminated[4];
  std::memset(unterminated, 'x', sizeof unterminated);
  EXPECT_FALSE(append_cp932_text(unterminated, sizeof unterminated, "y"));
  EXPECT_EQ(unterminated[3], '\0');
}

TEST(FindLastPathSeparator, SkipsTrailBytesThatLookLikeBackslashes) {
  const char* path = "C:\\\x95\x5C\\x.exe";  // C:\表\x.exe
  const char* found = find_last_path_separator(path);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found - path, 5);
  const char* only_trail = "C:\\\x83\x5C";  // C:\ソ: the only separator is the first one
  EXPECT_EQ(find_last_path_separator(only_trail) - only_trail, 2);
  EXPECT_EQ(find_last_path_separator("plain"), nullptr);
  const char* slash = "a/b\\c";
  EXPECT_EQ(find_last_path_separator(slash) - slash, 3);
}

TEST(FolderOfPath, KeepsTheSeparatorSoADriveRootStaysTheRoot) {
  EXPECT_EQ(folder_of_path("C:\\tolvex.exe"), "C:\\");  // "C:" alone would be drive C's current folder
  EXPECT_EQ(folder_of_path("C:\\\x95\x5C\\tolvex.exe"), "C:\\\x95\x5C\\");  // the folder of C:\表\tolvex.exe
  EXPECT_EQ(folder_of_path("tolvex.exe"), "");
}

}  // namespace
}  // namespace tolvex
