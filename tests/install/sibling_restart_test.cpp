// Starting the closed sibling programs again: an elevated copy uses only each program's own kept
// rights and leaves closed what it cannot start that way; any other copy starts them as itself.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install/sibling_programs.h"
#include "support/recording_doubles.h"

namespace tolvex {
namespace {

// Records every start it is asked for; `fails` lists the rows whose start fails.
class ScriptedLauncher : public SiblingLauncher {
 public:
  explicit ScriptedLauncher(bool elevated) : elevated_(elevated) {}
  bool elevated() override { return elevated_; }
  bool start_with_kept_rights(int row) override {
    starts.push_back("kept " + std::string(kSiblingPrograms[row].program));
    return !fails_row(row);
  }
  bool start_with_own_rights(int row) override {
    starts.push_back("own " + std::string(kSiblingPrograms[row].program));
    return !fails_row(row);
  }
  std::vector<std::string> starts;
  std::vector<int> fails;

 private:
  bool fails_row(int row) const {
    for (int failing : fails)
      if (failing == row) return true;
    return false;
  }
  bool elevated_;
};

class LeftClosed : public InstallObserver {
 public:
  void file_installed(const char*, InstallOutcome, std::uint32_t, bool) override {}
  void program_left_closed(const char* program) override { programs.emplace_back(program); }
  std::vector<std::string> programs;
};

TEST(SiblingRestart, AnElevatedCopyStartsEachOnlyWithItsKeptRightsAndLeavesTheRestClosed) {
  const std::int32_t found[kSiblingCount] = {1, 0, 1, 0, 1};  // plo, mepli, orbe
  ScriptedLauncher launcher(true);
  launcher.fails = {0, 4};  // plo's and orbe's rights were not kept
  testing::RecordingView status;
  testing::RecordingWaiter waiter;
  LeftClosed observer;
  EXPECT_EQ(restart_sibling_programs(found, launcher, status, waiter, &observer), 2);
  EXPECT_EQ(launcher.starts, (std::vector<std::string>{"kept plo.exe", "kept mepli.exe", "kept orbe.exe"}));
  EXPECT_EQ(observer.programs, (std::vector<std::string>{"plo.exe", "orbe.exe"}));
  EXPECT_EQ(waiter.waits, std::vector<unsigned>{3000});  // one second per program asked for
  EXPECT_EQ(status.statuses,
            (std::vector<std::string>{"しばらくお待ちください。", "再起動できませんでした：plo.exe、orbe.exe"}));
}

TEST(SiblingRestart, ACopyWithoutAdministratorRightsStartsThemAsItselfAndClearsTheStatusLine) {
  const std::int32_t found[kSiblingCount] = {0, 1, 0, 1, 0};
  ScriptedLauncher launcher(false);
  launcher.fails = {3};  // a start that fails is counted as before and not reported
  testing::RecordingView status;
  testing::RecordingWaiter waiter;
  EXPECT_EQ(restart_sibling_programs(found, launcher, status, waiter, nullptr), 0);
  EXPECT_EQ(launcher.starts, (std::vector<std::string>{"own rasto.exe", "own gaft.exe"}));
  EXPECT_EQ(waiter.waits, std::vector<unsigned>{2000});
  EXPECT_EQ(status.statuses, (std::vector<std::string>{"しばらくお待ちください。", ""}));

  const std::int32_t none[kSiblingCount] = {};
  ScriptedLauncher idle(true);
  EXPECT_EQ(restart_sibling_programs(none, idle, status, waiter, nullptr), 0);
  EXPECT_TRUE(idle.starts.empty());
  EXPECT_EQ(waiter.waits, std::vector<unsigned>{2000});  // no further wait
}

}  // namespace
}  // namespace tolvex
