// The status line of a progress report, and when reports are drawn.
#include <gtest/gtest.h>

#include <string>

#include "ui/progress.h"

namespace tolvex {
namespace {

std::string line(std::uint32_t done, std::uint32_t total, std::uint32_t* percent = nullptr) {
  char text[256] = {};
  std::uint32_t p = format_progress_line(done, total, "取得中", text, sizeof text);
  if (percent != nullptr) *percent = p;
  return text;
}

TEST(ProgressLine, FiguresOnlyWhenDoneAndTotalAreKnown) {
  EXPECT_EQ(line(0, 100), "取得中");
  EXPECT_EQ(line(1023, 0), "取得中");
  std::uint32_t percent = 0;
  EXPECT_EQ(line(1023, 4096, &percent), "取得中24％(1023/4096)");
  EXPECT_EQ(percent, 24u);
  EXPECT_EQ(line(4096, 4096, &percent), "取得中100％(4096/4096)");
  EXPECT_EQ(percent, 100u);
}

TEST(ProgressLine, LargeTransfersKeepTheRightPercentage) {
  std::uint32_t percent = 0;
  EXPECT_EQ(line(3000000000u, 4000000000u, &percent), "取得中75％(3000000000/4000000000)");
  EXPECT_EQ(percent, 75u);
}

TEST(ProgressLine, LongTextIsCutWithinTheLine) {
  std::string text(300, 'x');
  char out[256];
  format_progress_line(1, 2, text.c_str(), out, sizeof out);
  EXPECT_EQ(std::string(out).size(), 255u);
}

TEST(RedrawPacer, DrawsNewTextsAndCompletionAtOnceOtherwiseOnceAFrame) {
  RedrawPacer pacer;
  EXPECT_TRUE(pacer.due("a.lzh", 1023, 10000, 1000));   // first report
  EXPECT_FALSE(pacer.due("a.lzh", 2046, 10000, 1001));  // same text, within the frame
  EXPECT_FALSE(pacer.due("a.lzh", 3069, 10000, 1014));
  EXPECT_TRUE(pacer.due("a.lzh", 4092, 10000, 1015));   // a frame later
  EXPECT_TRUE(pacer.due("a.lzh", 10000, 10000, 1016));  // complete
  EXPECT_TRUE(pacer.due("b.lzh", 1023, 5000, 1017));    // the next archive
  EXPECT_FALSE(pacer.due("b.lzh", 2046, 0, 1018));
}

TEST(RedrawPacer, ClockGoingBackwardsStillDraws) {
  RedrawPacer pacer;
  EXPECT_TRUE(pacer.due("a", 1, 10, 5000));
  EXPECT_TRUE(pacer.due("a", 2, 10, 10));  // unsigned difference is huge: drawn
}

}  // namespace
}  // namespace tolvex
