#include "unlha32/archive_command.h"

#include <gtest/gtest.h>

#include <cstring>

namespace tolvex::unlha32 {
namespace {

TEST(CommandLine, TheUpdatersCommandWithPlainQuotedAndShortPaths) {
  ArchiveCommand c;
  std::string error;
  ASSERT_TRUE(parse_command_line("e -mc -n1 -jse2 TOLVEX.LZH *.*", c, error)) << error;
  EXPECT_EQ(c.command, 'e');
  EXPECT_EQ(c.switches, (std::vector<std::string>{"-mc", "-n1", "-jse2"}));
  EXPECT_EQ(c.archive, "TOLVEX.LZH");
  EXPECT_EQ(c.patterns, std::vector<std::string>{"*.*"});
  EXPECT_EQ(c.output_folder, "");

  ASSERT_TRUE(parse_command_line("e -mc -n1 -jse2 \"C:\\Program Files\\a b.lzh\" *.*", c, error));
  EXPECT_EQ(c.archive, "C:\\Program Files\\a b.lzh");
  ASSERT_TRUE(parse_command_line("E -mc -n1 -jse2 C:\\PROGRA~1\\TOLVEX~1\\UPD.LZH", c, error));
  EXPECT_EQ(c.command, 'e');
  EXPECT_EQ(c.archive, "C:\\PROGRA~1\\TOLVEX~1\\UPD.LZH");
  EXPECT_TRUE(c.patterns.empty());
}

TEST(CommandLine, OutputFolderAndSeveralPatternsAndDoubleByteNames) {
  ArchiveCommand c;
  std::string error;
  // 表 ends in 0x5C: the archive name must not be taken for a folder.
  ASSERT_TRUE(parse_command_line("e x\x95\x5C.lzh out\\ *.txt ?.bin", c, error));
  EXPECT_EQ(c.archive, "x\x95\x5C.lzh");
  EXPECT_EQ(c.output_folder, "out\\");
  EXPECT_EQ(c.patterns, (std::vector<std::string>{"*.txt", "?.bin"}));
  ASSERT_TRUE(parse_command_line("e a.lzh \x95\x5C", c, error));
  EXPECT_EQ(c.output_folder, "");
  EXPECT_EQ(c.patterns, std::vector<std::string>{"\x95\x5C"});
}

TEST(CommandLine, RefusesWhatItCannotCarryOut) {
  ArchiveCommand c;
  std::string error;
  for (const char* text :
       {"", "   ", "e", "e -mc -n1", "a new.lzh file", "d a.lzh x", "e \"unclosed.lzh *.*", "-mc e a.lzh"}) {
    EXPECT_FALSE(parse_command_line(text, c, error)) << text;
    EXPECT_FALSE(error.empty());
  }
}

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

TEST(ReportBuffer, NeverWritesPastItsSizeAndKeepsDoubleByteCharactersWhole) {
  for (std::size_t size = 0; size < 12; ++size) {
    char storage[32];
    std::memset(storage, '#', sizeof storage);
    ReportBuffer report(storage, size);
    report.append("abc");
    report.append("\x95\x5C\x95\x5C");
    report.append("def");
    for (std::size_t i = size; i < sizeof storage; ++i) ASSERT_EQ(storage[i], '#') << size;
    if (size == 0) continue;
    std::size_t length = strnlen(storage, size);
    ASSERT_LT(length, size);
    EXPECT_EQ(std::string(storage, length), std::string("abc\x95\x5C\x95\x5C"
                                                        "def")
                                                .substr(0, length));
    if (length == 4) FAIL() << "a double-byte character was cut";
  }
  ReportBuffer nothing(nullptr, 100);
  nothing.append("ignored");
}

}  // namespace

}  // namespace tolvex::unlha32
