// read_file_version on real PE files, by bare name from the current directory, under Wine.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "catalogue/version_text.h"
#include "fixtures/fixture_paths.h"
#include "support/temp_dir.h"
#include "support/time_setting.h"

namespace tolvex {
namespace {

class ReadFileVersion : public ::testing::Test {
 protected:
  // Copies fixture `fixture` into the working folder as `name`.
  void place(const std::string& fixture, const std::string& name) {
    ASSERT_TRUE(CopyFileA(testing::fixture_path(fixture).c_str(), name.c_str(), FALSE))
        << testing::fixture_path(fixture) << " error " << GetLastError();
  }
  std::pair<int, std::string> read(const char* name) {
    char out[kVersionTextSize] = {};
    int result = read_file_version(name, out, sizeof out);
    return {result, out};
  }

  testing::ScopedTimeZone tz{"JST-9"};
  testing::ScopedWorkDir dir;
};

TEST_F(ReadFileVersion, FormatsTheFixedFileVersion) {
  place("ver_1_0_0_1.dll", "vemoda.dll");
  place("ver_10_11_12_13.dll", "nuri.dll");
  place("ver_0_0_0_0.dll", "sef.dll");
  place("ver_1_2_3_45.dll", "zevo.dll");
  EXPECT_EQ(read("vemoda.dll"), (std::pair<int, std::string>{0, "1,00,0,0001"}));
  EXPECT_EQ(read("nuri.dll"), (std::pair<int, std::string>{0, "10,11,12,0013"}));
  EXPECT_EQ(read("sef.dll"), (std::pair<int, std::string>{0, "0,00,0,0000"}));
  EXPECT_EQ(read("zevo.dll"), (std::pair<int, std::string>{0, "1,02,3,0045"}));
}

TEST_F(ReadFileVersion, ProgramsAreReadLikeLibraries) {
  place("ver_2_0_2209_1800_exe.exe", "tolvex.exe");
  EXPECT_EQ(read("tolvex.exe"), (std::pair<int, std::string>{0, "2,00,2209,1800"}));
}

TEST_F(ReadFileVersion, MissingFileOrNoVersionResourceGivesDash) {
  place("ver_none.dll", "fule.dll");
  EXPECT_EQ(read("fule.dll"), (std::pair<int, std::string>{-1, "-"}));
  EXPECT_EQ(read("orbi.dll"), (std::pair<int, std::string>{-1, "-"}));
  // Only the working folder counts: not a file of that name along the DLL search path.
  EXPECT_EQ(read("version.dll"), (std::pair<int, std::string>{-1, "-"}));
}

TEST_F(ReadFileVersion, LongestNumbersAreWholeInALargeBufferAndCutInASmallOne) {
  place("ver_max.dll", "yosk.dll");
  EXPECT_EQ(read("yosk.dll"), (std::pair<int, std::string>{0, "65535,65535,65535,65535"}));
  char field[kVersionTextSize];
  memset(field, 'x', sizeof field);
  read_file_version("yosk.dll", field, 21);
  EXPECT_EQ(std::string(field), "65535,65535,65535,65");
  EXPECT_EQ(field[21], 'x');
}

TEST_F(ReadFileVersion, HelpFileTakesItsModificationTimeInAnyLetterCase) {
  testing::write_file("rova.chm", "help");
  testing::set_modification_time_utc("rova.chm", 2010, 1, 6, 23, 59);  // 2010-01-07 08:59 JST
  EXPECT_EQ(read("rova.chm"), (std::pair<int, std::string>{0, "2,00,2001,0708"}));
  EXPECT_EQ(read("ROVA.CHM"), (std::pair<int, std::string>{0, "2,00,2001,0708"}));
  testing::set_modification_time_utc("rova.chm", 2009, 12, 31, 14, 0);  // 2009-12-31 23:00 JST
  EXPECT_EQ(read("rova.chm"), (std::pair<int, std::string>{0, "2,00,2912,3123"}));
}

TEST_F(ReadFileVersion, UpperCaseHelpFileOnDisk) {
  testing::write_file("ROVA.CHM", "help");
  testing::set_modification_time_utc("ROVA.CHM", 2002, 11, 5, 0, 30);  // 09:30 JST
  EXPECT_EQ(read("ROVA.CHM"), (std::pair<int, std::string>{0, "2,00,2211,0509"}));
}

TEST_F(ReadFileVersion, HelpFileMissingGivesDashAndOtherNamesAreNotDated) {
  EXPECT_EQ(read("rova.chm"), (std::pair<int, std::string>{-1, "-"}));
  testing::write_file("rova.chm.bak", "not a help file");
  EXPECT_EQ(read("rova.chm.bak"), (std::pair<int, std::string>{-1, "-"}));
}

}  // namespace
}  // namespace tolvex
