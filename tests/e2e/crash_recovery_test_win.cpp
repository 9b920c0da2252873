// A swap cut short at any step: the next start of the program finds every managed file present,
// old or new, never half-written. Each state on disk is the one a stop after that step leaves.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

#include "demo_driver/app_driver_win.h"
#include "e2e/suite_folder.h"
#include "fixtures/fixture_paths.h"
#include "resources/resource_ids.h"

namespace tolvex {
namespace {

struct SwapState {
  const char* after_step;
  bool target;  // vemoda.dll holds: old (before the rename to backup) or new (after)
  bool backup;  // vemoda.bak present (the old file)
  bool staged;  // vemoda.___ present (the new file)
  bool target_is_new;
};

// The swap of one row: remove backup, rename target -> backup, rename staged -> target,
// remove backup, remove archive.
const SwapState kStates[] = {
    {"extraction", true, false, true, false},
    {"rename of the target to its backup", false, true, true, false},
    {"rename of the staged file to the target", true, true, false, true},
    {"removal of the backup", true, false, false, true},
};

class InterruptedSwap : public ::testing::TestWithParam<SwapState> {};

TEST_P(InterruptedSwap, NextStartShowsTheFileOldOrNew) {
  const SwapState& state = GetParam();
  testing::SuiteFolder suite;
  const std::string old_bytes = testing::read_file(testing::fixture_path("ver_1_2_3_45.dll"));
  const std::string new_bytes = testing::read_file(testing::fixture_path("ver_10_11_12_13.dll"));
  DeleteFileA(suite.file("vemoda.dll").c_str());
  if (state.target) testing::write_file(suite.file("vemoda.dll"), state.target_is_new ? new_bytes : old_bytes);
  if (state.backup) testing::write_file(suite.file("vemoda.bak"), old_bytes);
  if (state.staged) testing::write_file(suite.file("vemoda.___"), new_bytes);

  testing::ChildProcess app(suite.updater_path(), suite.path());
  HWND window = testing::wait_for_marked_window(app.id(), "tolvex2.exe", 20000);
  ASSERT_NE(window, nullptr);
  const std::string shown = testing::list_item_text(GetDlgItem(window, IDC_FILE_LIST), 6, 1);
  const std::string on_disk = testing::read_file(suite.file("vemoda.dll"));
  EXPECT_TRUE(on_disk == old_bytes || on_disk == new_bytes) << "after " << state.after_step;
  EXPECT_EQ(shown, on_disk == new_bytes ? "10,11,12,0013" : "1,02,3,0045") << "after " << state.after_step;
  testing::click_button(window, IDCANCEL);
  EXPECT_TRUE(app.wait_for_exit(10000));
}

INSTANTIATE_TEST_SUITE_P(EveryStep, InterruptedSwap, ::testing::ValuesIn(kStates));

}  // namespace
}  // namespace tolvex
