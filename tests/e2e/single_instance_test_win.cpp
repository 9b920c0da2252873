// One copy per user: a second start hands over to the running copy and ends.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

#include "demo_driver/app_driver_win.h"
#include "e2e/suite_folder.h"
#include "resources/resource_ids.h"

namespace tolvex {
namespace {

using testing::ChildProcess;

constexpr const char kMarker[] = "tolvex2.exe";

TEST(SingleInstance, SecondStartRestoresAndRaisesTheFirstAndEndsWithoutAWindow) {
  testing::SuiteFolder suite;
  ChildProcess first(suite.updater_path(), suite.path());
  HWND window = testing::wait_for_marked_window(first.id(), kMarker, 20000);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(testing::hold_minimised(window));  // a late event of the first show may restore it

  ChildProcess second(suite.updater_path(), suite.path());
  ASSERT_TRUE(second.started());
  EXPECT_TRUE(second.wait_for_exit(10000));
  EXPECT_TRUE(testing::wait_until([&] { return !IsIconic(window); }, 5000));
  EXPECT_TRUE(testing::wait_until([&] { return GetForegroundWindow() == window; }, 5000));
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

// Starts the sibling stand-in as `program` of the suite's folder (its window carries
// "<base name>2.exe") and returns its window.
HWND start_stand_in(const testing::SuiteFolder& suite, const std::string& program,
                    std::unique_ptr<ChildProcess>& process) {
  suite.place("sibling_1_0_0_1.exe", program);
  process = std::make_unique<ChildProcess>(suite.file(program), suite.path());
  const std::string base = program.substr(program.find_last_of('\\') + 1);
  const std::string marker = base.substr(0, base.rfind('.')) + "2.exe";
  return testing::wait_for_marked_window(process->id(), marker.c_str(), 20000);
}

TEST(SingleInstance, HandOverBringsTheRunningCopysMessageBoxForward) {
  testing::clear_settings();
  testing::set_updater_url("ftp://localhost/");  // the check fails at once and shows its box
  testing::SuiteFolder suite;
  ChildProcess first(suite.updater_path(), suite.path());
  HWND window = testing::wait_for_marked_window(first.id(), kMarker, 20000);
  ASSERT_NE(window, nullptr);
  testing::click_button(window, IDC_CHECK_BUTTON);
  HWND box = testing::wait_for_window_with_caption(first.id(), "取得", 20000);
  ASSERT_NE(box, nullptr);
  // The box has been the active window, as when the user saw it: that makes it the main window's
  // last active pop-up. A box that came up before the copy was given the focus never was.
  ASSERT_TRUE(testing::hold_foreground(box, 500));
  std::unique_ptr<ChildProcess> plo;
  HWND other = start_stand_in(suite, "plo.exe", plo);
  ASSERT_NE(other, nullptr);
  ASSERT_TRUE(testing::hold_foreground(other, 1000));

  ChildProcess second(suite.updater_path(), suite.path());
  EXPECT_TRUE(second.wait_for_exit(10000));
  EXPECT_TRUE(testing::wait_until([&] { return GetForegroundWindow() == box; }, 10000))
      << "last active pop-up " << GetLastActivePopup(window) << ", box " << box << ", foreground "
      << GetForegroundWindow();
  testing::click_button(box, IDOK);
  testing::click_button(window, IDCANCEL);
  EXPECT_TRUE(first.wait_for_exit(10000));
  PostMessageA(other, WM_CLOSE, 0, 0);
  testing::clear_settings();
}

TEST(SingleInstance, AForeignWindowWithTheMarkerIsTakenForTheRunningCopyButASiblingIsNot) {
  testing::SuiteFolder suite;
  ChildProcess first(suite.updater_path(), suite.path());
  HWND window = testing::wait_for_marked_window(first.id(), kMarker, 20000);
  ASSERT_NE(window, nullptr);
  // Above the updater in Z-order: a foreign window carrying its marker, then a sibling's window.
  std::unique_ptr<ChildProcess> foreign_process, sibling_process;
  CreateDirectoryA(suite.file("foreign").c_str(), nullptr);
  HWND foreign = start_stand_in(suite, "foreign\\tolvex.exe", foreign_process);
  ASSERT_NE(foreign, nullptr);
  HWND sibling = start_stand_in(suite, "plo.exe", sibling_process);
  ASSERT_NE(sibling, nullptr);
  ASSERT_TRUE(testing::wait_until_steady([&] { return GetForegroundWindow() == sibling; }, 1000, 20000));

  ChildProcess second(suite.updater_path(), suite.path());
  EXPECT_TRUE(second.wait_for_exit(10000));
  EXPECT_TRUE(testing::wait_until([&] { return GetForegroundWindow() == foreign; }, 5000));
  PostMessageA(foreign, WM_CLOSE, 0, 0);
  PostMessageA(sibling, WM_CLOSE, 0, 0);
  testing::click_button(window, IDCANCEL);
  EXPECT_TRUE(first.wait_for_exit(10000));
}

}  // namespace
}  // namespace tolvex
