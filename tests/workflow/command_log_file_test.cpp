// The command log's file, in a temporary folder: records appended whole, the log cut to its last
// records once past its limit, and a log that cannot be written skipped without a trace.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.h"
#include "workflow/command_log.h"

namespace tolvex {
namespace {

namespace fs = std::filesystem;

std::string numbered_record(int n) {
  return "[2026-12-09 07:05:03] アップデート " + std::to_string(n) + "\r\n  対象: plo.exe 1 → 2" +
         std::string(200, 'x') + "\r\n";
}

TEST(CommandLogFile, AppendsEachRecordWholeAfterTheOthers) {
  testing::ScopedWorkDir dir;
  const fs::path path = dir.path() / "tolvex.log";
  CommandLogFile log(path.string());
  log.append(numbered_record(1));
  log.append(numbered_record(2));
  EXPECT_EQ(testing::read_file(path), numbered_record(1) + numbered_record(2));
}

TEST(CommandLogFile, PastItsLimitKeepsOnlyTheLastRecordsFromAHeading) {
  testing::ScopedWorkDir dir;
  const fs::path path = dir.path() / "tolvex.log";
  std::string old_log;
  for (int n = 0; old_log.size() <= kLogLimit - 100; ++n) old_log += numbered_record(n);
  testing::write_file(path, old_log);
  const std::string record = numbered_record(-1);
  CommandLogFile(path.string()).append(record);

  const std::string kept = testing::read_file(path);
  const std::string whole = old_log + record;
  ASSERT_GT(whole.size(), kLogLimit);
  EXPECT_LE(kept.size(), kLogKeep);
  EXPECT_GT(kept.size(), kLogKeep - record.size());  // no more than a record short of the part kept
  EXPECT_EQ(kept.substr(0, 1), "[");
  EXPECT_EQ(whole.substr(whole.size() - kept.size()), kept);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);  // no temporary left
}

TEST(CommandLogFile, ALogThatCannotBeWrittenIsSkipped) {
  testing::ScopedWorkDir dir;
  const fs::path taken = dir.path() / "tolvex.log";
  fs::create_directory(taken);
  CommandLogFile(taken.string()).append(numbered_record(1));
  EXPECT_TRUE(fs::is_directory(taken));
  EXPECT_TRUE(fs::is_empty(taken));

  const fs::path missing = dir.path() / "missing" / "tolvex.log";
  CommandLogFile(missing.string()).append(numbered_record(1));
  EXPECT_FALSE(fs::exists(missing.parent_path()));
}

}  // namespace
}  // namespace tolvex
