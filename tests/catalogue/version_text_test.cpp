// The text forms of local versions, and the help file's date form from a real file's time.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "catalogue/version_text.h"
#include "support/temp_dir.h"
#include "support/time_setting.h"

namespace tolvex {
namespace {

std::string file_version(std::uint32_t ms, std::uint32_t ls, std::size_t size = kVersionTextSize) {
  char out[kVersionTextSize] = {};
  format_file_version(ms, ls, out, size);
  return out;
}

TEST(FileVersionText, FormsOfTheFixedFileVersion) {
  EXPECT_EQ(file_version(0x00010002, 0x0003002D), "1,02,3,0045");
  EXPECT_EQ(file_version(0x00010000, 0x00000001), "1,00,0,0001");
  EXPECT_EQ(file_version(0x000A000B, 0x000C000D), "10,11,12,0013");
  EXPECT_EQ(file_version(0, 0), "0,00,0,0000");
  EXPECT_EQ(file_version(0x00020000, 0x08A10708), "2,00,2209,1800");
  EXPECT_EQ(file_version(0xFFFFFFFF, 0xFFFFFFFF), "65535,65535,65535,65535");
  EXPECT_EQ(file_version(0xFFFFFFFF, 0xFFFFFFFF, 21), "65535,65535,65535,65");  // cut, terminated
}

TEST(HelpFileVersionText, UsesTheThousandsAndUnitsDigitsOfTheYear) {
  char out[kVersionTextSize];
  format_help_file_version(2002, 11, 5, 9, out, sizeof out);
  EXPECT_STREQ(out, "2,00,2211,0509");
  format_help_file_version(2010, 1, 7, 8, out, sizeof out);
  EXPECT_STREQ(out, "2,00,2001,0708");
  format_help_file_version(2009, 12, 31, 23, out, sizeof out);
  EXPECT_STREQ(out, "2,00,2912,3123");
}

TEST(HelpFileVersionText, HelpFileNameIgnoresAsciiCaseOnly) {
  EXPECT_TRUE(equals_ignoring_ascii_case("ROVA.CHM", kHelpFileName));
  EXPECT_TRUE(equals_ignoring_ascii_case("Rova.Chm", kHelpFileName));
  EXPECT_FALSE(equals_ignoring_ascii_case("rova.chm.bak", kHelpFileName));
  EXPECT_FALSE(equals_ignoring_ascii_case("rova.ch", kHelpFileName));
}

class DateVersion : public ::testing::Test {
 protected:
  testing::ScopedTimeZone tz{"JST-9"};
  testing::ScopedWorkDir dir;
};

TEST_F(DateVersion, ReadsTheModificationTimeInLocalTime) {
  testing::write_file("rova.chm", "help");
  // 7 January 2010, 08:59 in Japan is 23:59 on the 6th in UTC.
  testing::set_modification_time_utc("rova.chm", 2010, 1, 6, 23, 59);
  char out[kVersionTextSize];
  EXPECT_EQ(read_file_date_version("rova.chm", out, sizeof out), 0);
  EXPECT_STREQ(out, "2,00,2001,0708");
  testing::set_modification_time_utc("rova.chm", 2009, 12, 31, 14, 0);
  EXPECT_EQ(read_file_date_version("rova.chm", out, sizeof out), 0);
  EXPECT_STREQ(out, "2,00,2912,3123");
  // Past January 2038, where a 32-bit time ends.
  testing::set_modification_time_utc("rova.chm", 2041, 1, 6, 23, 59);
  EXPECT_EQ(read_file_date_version("rova.chm", out, sizeof out), 0);
  EXPECT_STREQ(out, "2,00,2101,0708");
}

TEST_F(DateVersion, MissingFileGivesDash) {
  char out[kVersionTextSize];
  EXPECT_EQ(read_file_date_version("rova.chm", out, sizeof out), -1);
  EXPECT_STREQ(out, "-");
}

}  // namespace
}  // namespace tolvex
