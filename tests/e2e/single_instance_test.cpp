// One copy per user: a second start hands over to the running copy and ends.
#include <gtest/gtest.h>

#include <windows.h>

#include "e2e/suite_folder.h"
#include "support/app_driver.h"

namespace tolvex {
namespace {

using testing::ChildProcess;

constexpr const char kMarker[] = "tolvex2.exe";

TEST(SingleInstance, SecondStartRestoresAndRaisesTheFirstAndEndsWithoutAWindow) {
  testing::SuiteFolder suite;
  ChildProcess first(suite.updater_path(), suite.path());
  HWND window = testing::wait_for_marked_window(first.id(), kMarker, 20000);
  ASSERT_NE(window, nullptr);
  ShowWindow(window, SW_MINIMIZE);
  ASSERT_TRUE(testing::wait_until([&] { return IsIconic(window) != FALSE; }, 5000));

  ChildProcess second(suite.updater_path(), suite.path());
  ASSERT_TRUE(second.started());
  EXPECT_TRUE(second.wait_for_exit(10000));
  EXPECT_TRUE(testing::wait_until([&] { return !IsIconic(window); }, 5000));
  EXPECT_EQ(GetForegroundWindow(), window);
  EXPECT_EQ(find_marked_windows(kMarker).size(), 1u);
  testing::click_button(window, IDCANCEL);
  EXPECT_TRUE(first.wait_for_exit(10000));
}

TEST(SingleInstance, CopyUnderAnotherNameStillHandsOver) {
  testing::SuiteFolder suite;
  ASSERT_TRUE(CopyFileA(suite.updater_path().c_str(), (suite.path() + "\\other.exe").c_str(), FALSE));
  ChildProcess first(suite.updater_path(), suite.path());
  HWND window = testing::wait_for_marked_window(first.id(), kMarker, 20000);
  ASSERT_NE(window, nullptr);
  ChildProcess second(suite.path() + "\\other.exe", suite.path());
  EXPECT_TRUE(second.wait_for_exit(10000));
  testing::click_button(window, IDCANCEL);
  EXPECT_TRUE(first.wait_for_exit(10000));
}

}  // namespace
}  // namespace tolvex
