// How the update list text is cut into entries.
#include <gtest/gtest.h>

#include <string>

#include "base/errors.h"
#include "catalogue/update_list.h"

namespace tolvex {
namespace {

struct Parsed {
  std::int32_t count;
  UpdateListRows rows;
};

Parsed parse(const std::string& text, std::int32_t limit = kManagedFileCount) {
  Parsed parsed{};
  parsed.count = parse_update_list(text.c_str(), parsed.rows, limit);
  return parsed;
}

std::string name(const Parsed& p, int i) { return p.rows.ListRows[i].Name; }
std::string version(const Parsed& p, int i) { return p.rows.ListRows[i].Version; }

TEST(ParseUpdateList, ReadsEntriesUntilTheFirstEmptyLine) {
  Parsed p =
      parse("plo.exe&1,01,0,0002\r\nnuri.dll&1,00,0,0003\r\nrova.chm&2,00,2203,1514\r\n\r\nsef.dll&9,99,9,9999\r\n");
  EXPECT_EQ(p.count, 3);
  EXPECT_EQ(name(p, 0), "plo.exe");
  EXPECT_EQ(version(p, 0), "1,01,0,0002");
  EXPECT_EQ(name(p, 2), "rova.chm");
  EXPECT_EQ(version(p, 2), "2,00,2203,1514");
  EXPECT_EQ(name(p, 3), "");
}

TEST(ParseUpdateList, TextWithoutLineFeedHasNoEntries) {
  EXPECT_EQ(parse("plo.exe&1,01,0,0002").count, 0);
  EXPECT_EQ(parse("").count, 0);
}

TEST(ParseUpdateList, LastLineWithoutLineFeedIsIgnored) {
  Parsed p = parse("plo.exe&1,01,0,0002\r\nsef.dll&9,99,9,9999");
  EXPECT_EQ(p.count, 1);
  EXPECT_EQ(name(p, 1), "");
}

TEST(ParseUpdateList, LineFeedAloneAndCarriageReturnLineFeedGiveTheSameEntries) {
  Parsed crlf = parse("plo.exe&1,01,0,0002\r\nsef.dll&9,99,9,9999\r\n");
  Parsed lf = parse("plo.exe&1,01,0,0002\nsef.dll&9,99,9,9999\n");
  ASSERT_EQ(crlf.count, lf.count);
  for (int i = 0; i < crlf.count; ++i) {
    EXPECT_EQ(name(crlf, i), name(lf, i));
    EXPECT_EQ(version(crlf, i), version(lf, i));
  }
}

TEST(ParseUpdateList, EarlierCarriageReturnInTheLineMakesTheFinalOneContent) {
  Parsed p = parse("plo.exe&1,0\r1\r\n");
  ASSERT_EQ(p.count, 1);
  EXPECT_EQ(version(p, 0), "1,0\r1\r");
}

TEST(ParseUpdateList, CarriageReturnLaterInTheTextDoesNotChangeALineFeedEnding) {
  Parsed p = parse("plo.exe&1,01,0,0002\nsef.dll&1\r\n");
  ASSERT_EQ(p.count, 2);
  EXPECT_EQ(version(p, 0), "1,01,0,0002");
  EXPECT_EQ(version(p, 1), "1");
}

TEST(ParseUpdateList, EmptyOrCarriageReturnFirstLineEndsAtOnce) {
  EXPECT_EQ(parse("\r\nplo.exe&1\r\n").count, 0);
  EXPECT_EQ(parse("\nplo.exe&1\n").count, 0);
  EXPECT_EQ(parse("\rplo.exe&1\n").count, 0);
}

TEST(ParseUpdateList, LineWithoutAmpersandIsAnEmptyEntryThatCounts) {
  Parsed p = parse("plo.exe&1\r\njunk\r\nsef.dll&2\r\n");
  EXPECT_EQ(p.count, 3);
  EXPECT_EQ(name(p, 1), "");
  EXPECT_EQ(version(p, 1), "");
  EXPECT_EQ(name(p, 2), "sef.dll");
}

TEST(ParseUpdateList, FurtherAmpersandsBelongToTheVersion) {
  Parsed p = parse("plo.exe&1&2\r\n&3\r\n");
  EXPECT_EQ(version(p, 0), "1&2");
  EXPECT_EQ(name(p, 1), "");
  EXPECT_EQ(version(p, 1), "3");
}

TEST(ParseUpdateList, StopsAtTheLimit) {
  std::string text;
  for (int i = 0; i < 40; ++i) text += "plo.exe&" + std::to_string(i) + "\r\n";
  Parsed p = parse(text);
  EXPECT_EQ(p.count, 26);
  EXPECT_EQ(version(p, 25), "25");
  EXPECT_EQ(name(p, 26), "");
  EXPECT_EQ(parse(text, 3).count, 3);
}

TEST(ParseUpdateList, LimitAboveTheRowsIsCutToTheirRoom) {
  std::string text;
  for (int i = 0; i < 40; ++i) text += "a&b\n";
  EXPECT_EQ(parse(text, 1000).count, kTableCapacity);
}

TEST(ParseUpdateList, ZeroLimitFailsWith2024AndTouchesNothing) {
  UpdateListRows rows{};
  rows.ListRows[0].Name[0] = 'x';
  set_last_error(0);
  EXPECT_EQ(parse_update_list("plo.exe&1\n", rows, 0), -1);
  EXPECT_EQ(last_error(), kErrorBadArgument);
  EXPECT_EQ(rows.ListRows[0].Name[0], 'x');
  EXPECT_EQ(parse_update_list("plo.exe&1\n", rows, -5), -1);
}

TEST(ParseUpdateList, FieldsThatDoNotFitAreMarkedAndNeverWrittenPastTheRow) {
  const std::string long_name(13, 'n');
  const std::string long_version(21, '9');
  Parsed p = parse(long_name + "&1\r\nplo.exe&" + long_version + "\r\n" + std::string(12, 'n') + "&" +
                   std::string(20, '9') + "\r\n");
  ASSERT_EQ(p.count, 3);
  EXPECT_TRUE(p.rows.Oversized[0]);
  EXPECT_TRUE(p.rows.Oversized[1]);
  EXPECT_FALSE(p.rows.Oversized[2]);
  EXPECT_EQ(name(p, 0), "");
  EXPECT_EQ(version(p, 1), "");
  EXPECT_EQ(name(p, 2), std::string(12, 'n'));
  EXPECT_EQ(version(p, 2), std::string(20, '9'));
}

TEST(ParseUpdateList, VeryLongLinesKeepTheirPlaceWithoutOverflow) {
  std::string huge(5000, 'x');
  Parsed p = parse("plo.exe&" + huge + "\r\n" + huge + "&1\n" + huge + "\nsef.dll&1\n");
  ASSERT_EQ(p.count, 4);
  EXPECT_TRUE(p.rows.Oversized[0]);
  EXPECT_TRUE(p.rows.Oversized[1]);
  EXPECT_FALSE(p.rows.Oversized[2]);  // no "&": an ordinary empty entry
  EXPECT_EQ(name(p, 3), "sef.dll");
}

TEST(ParseUpdateList, ParsingAgainClearsEarlierRows) {
  UpdateListRows rows{};
  parse_update_list("plo.exe&1\nsef.dll&2\n", rows, 26);
  EXPECT_EQ(parse_update_list("nuri.dll&3\n", rows, 26), 1);
  EXPECT_STREQ(rows.ListRows[1].Name, "");
}

}  // namespace
}  // namespace tolvex
