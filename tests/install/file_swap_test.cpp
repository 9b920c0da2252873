// The portable part of a file's swap: the names formed for a managed file, and waiting out
// another program's short hold of a file (growing pauses, a bound, the file named in the status
// line once, and no waiting at all for a failure that is not a hold).
#include <gtest/gtest.h>

#include <numeric>
#include <string>

#include "install/file_swap.h"
#include "support/recording_doubles.h"

namespace tolvex {
namespace {

TEST(ArchiveNames, FormedFromTheBaseName) {
  ArchiveNames names = form_archive_names("vemoda.dll");
  EXPECT_STREQ(names.target, "vemoda.dll");
  EXPECT_STREQ(names.base, "vemoda");
  EXPECT_STREQ(names.archive, "vemoda.lzh");
  EXPECT_STREQ(names.staged, "vemoda.___");
  EXPECT_STREQ(names.backup, "vemoda.bak");
  EXPECT_FALSE(is_updater_row(names));
}

TEST(ArchiveNames, OnlyTheLastDotEndsTheBase) {
  ArchiveNames names = form_archive_names("a.b.c");
  EXPECT_STREQ(names.base, "a.b");
  EXPECT_STREQ(names.archive, "a.b.lzh");
}

TEST(ArchiveNames, NameWithoutDotKeepsItsWholeText) {
  ArchiveNames names = form_archive_names("readme");
  EXPECT_STREQ(names.base, "readme");
  EXPECT_STREQ(names.archive, "readme.lzh");
}

TEST(ArchiveNames, UpdaterRowIsRecognisedExactly) {
  EXPECT_TRUE(is_updater_row(form_archive_names("tolvex.exe")));
  EXPECT_FALSE(is_updater_row(form_archive_names("TOLVEX.EXE")));
  EXPECT_FALSE(is_updater_row(form_archive_names("tolvex2.exe")));
}

TEST(ArchiveNames, OverlongNamesStayWithinTheirBuffers) {
  std::string name(200, 'x');
  ArchiveNames names = form_archive_names((name + ".dll").c_str());
  EXPECT_LT(std::string(names.archive).size(), kFileNameBufferSize);
  EXPECT_LT(std::string(names.target).size(), kFileNameBufferSize);
}

struct Outcome {
  bool succeeded;
  int attempts;
  std::vector<unsigned> waits;
  std::vector<std::string> statuses;
};

// Tries a step that fails `failures` times (held or not) before it succeeds.
Outcome run(int failures, bool held) {
  testing::RecordingWaiter waiter;
  testing::RecordingStatusSurface status;
  HeldFileRetry retry(waiter, status);
  int attempts = 0;
  const bool succeeded = retry.run(
      "vemoda.dll", [&] { return ++attempts > failures; }, [&] { return held; });
  return {succeeded, attempts, waiter.waits, status.events};
}

TEST(HeldFileRetry, WaitsWithGrowingPausesUntilTheHoldEnds) {
  const Outcome outcome = run(3, true);
  EXPECT_TRUE(outcome.succeeded);
  EXPECT_EQ(outcome.waits, (std::vector<unsigned>{50, 100, 200}));
  EXPECT_EQ(outcome.statuses, std::vector<std::string>{"status:vemoda.dll の使用が終わるのを待っています。"});
}

TEST(HeldFileRetry, GivesUpAfterAboutTenSecondsOfPauses) {
  const Outcome outcome = run(1000, true);
  EXPECT_FALSE(outcome.succeeded);
  EXPECT_EQ(std::accumulate(outcome.waits.begin(), outcome.waits.end(), 0u), HeldFileRetry::kTotalPauseMs);
  for (unsigned wait : outcome.waits) EXPECT_LE(wait, HeldFileRetry::kLongestPauseMs);
  EXPECT_EQ(outcome.attempts, static_cast<int>(outcome.waits.size()) + 1);
}

TEST(HeldFileRetry, AFailureThatIsNotAHoldFailsAtOnce) {
  const Outcome outcome = run(1, false);
  EXPECT_FALSE(outcome.succeeded);
  EXPECT_EQ(outcome.attempts, 1);
  EXPECT_TRUE(outcome.waits.empty());
  EXPECT_TRUE(outcome.statuses.empty());
}

}  // namespace
}  // namespace tolvex
