// Where a trimmed command log begins.
#include <gtest/gtest.h>

#include <string>

#include "workflow/log_trim.h"

namespace tolvex {
namespace {

TEST(LogTrim, TheKeptPartBeginsAtTheFirstHeadingAfterALineFeed) {
  // '[' at the very start may be the middle of a line cut by the read; one inside a line is text.
  const std::string tail =
      "[cut] line\r\n  対象: a[1]\r\n[2026-12-09 07:05:03] A\r\n  x\r\n[2026-12-09 07:06:00] B\r\n";
  EXPECT_EQ(first_record_start(tail.data(), tail.size()), tail.find("[2026-12-09 07:05:03]"));
  const std::string no_heading = "[cut] line\r\n  対象: a[1]\r\n";
  EXPECT_EQ(first_record_start(no_heading.data(), no_heading.size()), no_heading.size());
}

}  // namespace
}  // namespace tolvex
