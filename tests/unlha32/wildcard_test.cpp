#include "unlha32/wildcard.h"

#include <gtest/gtest.h>

namespace tolvex::unlha32 {
namespace {

TEST(Wildcard, MatchEverythingFormsAndSimplePatterns) {
  for (const char* name : {"a.txt", "NODOT", "x.y.z", "\x95\x5C.dat"}) {
    EXPECT_TRUE(wildcard_matches("*.*", name)) << name;
    EXPECT_TRUE(wildcard_matches("*", name)) << name;
  }
  EXPECT_TRUE(wildcard_matches("*.txt", "README.TXT"));
  EXPECT_FALSE(wildcard_matches("*.txt", "readme.txt.bak"));
  EXPECT_TRUE(wildcard_matches("a?c", "abc"));
  EXPECT_FALSE(wildcard_matches("a?c", "ac"));
  EXPECT_TRUE(wildcard_matches("*a*b*", "xxaxxbxx"));
  EXPECT_FALSE(wildcard_matches("*a*b", "xxaxxbxxc"));
  EXPECT_TRUE(wildcard_matches("tolvex.ex_", "TOLVEX.EX_"));
}

TEST(Wildcard, ADoubleByteCharacterIsOneCharacter) {
  EXPECT_TRUE(wildcard_matches("?.dat", "\x95\x5C.dat"));
  EXPECT_FALSE(wildcard_matches("??.dat", "\x95\x5C.dat"));
  // Trail bytes are not compared case-insensitively: 0x83 0x61 differs from 0x83 0x41.
  EXPECT_FALSE(wildcard_matches("\x83\x61", "\x83\x41"));
  EXPECT_TRUE(any_wildcard_matches({}, "anything"));
  EXPECT_TRUE(any_wildcard_matches({"*.txt", "*.bin"}, "x.bin"));
  EXPECT_FALSE(any_wildcard_matches({"*.txt"}, "x.bin"));
}

}  // namespace
}  // namespace tolvex::unlha32
