#include "unlha32/command_line.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace tolvex::unlha32
