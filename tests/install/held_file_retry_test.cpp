// Waiting out another program's short hold of a file: growing pauses, a bound, the file named in
// the status line once, and no waiting at all for a failure that is not a hold.
#include <gtest/gtest.h>

#include <numeric>
#include <string>

#include "install/held_file_retry.h"
#include "support/recording_doubles.h"

namespace tolvex {
namespace {

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
