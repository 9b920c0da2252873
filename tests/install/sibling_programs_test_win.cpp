// Closing and restarting the sibling programs: real stand-in programs with marked windows.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "demo_driver/app_driver_win.h"
#include "fixtures/fixture_paths.h"
#include "install/sibling_programs_win.h"
#include "support/recording_doubles.h"
#include "support/temp_dir.h"
#include "win/process_win.h"
#include "win/scoped_win.h"
#include "win/window_helpers_win.h"

namespace tolvex {
namespace {

class SiblingPrograms : public ::testing::Test {
 protected:
  // Starts the stand-in as program `name` of the working folder and waits for its window.
  void start(const std::string& name) {
    if (GetFileAttributesA(name.c_str()) == INVALID_FILE_ATTRIBUTES) {
      ASSERT_TRUE(CopyFileA(testing::fixture_path("sibling_1_0_0_1.exe").c_str(), name.c_str(), FALSE));
    }
    auto child = std::make_unique<testing::ChildProcess>(dir_.path().string() + "\\" + name, dir_.path().string());
    const std::string marker = name.substr(0, name.rfind('.')) + "2.exe";
    ASSERT_NE(testing::wait_for_marked_window(child->id(), marker.c_str(), 20000), nullptr) << name;
    children_.push_back(std::move(child));
  }
  bool all_ended() {
    for (auto& child : children_)
      if (!child->wait_for_exit(10000)) return false;
    return true;
  }
  std::vector<std::string> log_lines(const std::string& what) {
    std::istringstream log(testing::read_file("sibling.log"));
    std::vector<std::string> lines;
    for (std::string line; std::getline(log, line);)
      if (line.rfind(what, 0) == 0) lines.push_back(line);
    return lines;
  }

  testing::ScopedWorkDir dir_;
  std::vector<std::unique_ptr<testing::ChildProcess>> children_;
  std::int32_t was_running_[kSiblingCount] = {9, 9, 9, 9, 9};
  testing::RecordingView status_;
  testing::RecordingWaiter waiter_;
  SiblingProcessLauncher launcher_;
};

TEST_F(SiblingPrograms, NoneRunningMeansNoCloseAndNoWait) {
  close_sibling_programs(was_running_, launcher_, status_, waiter_);
  for (std::int32_t flag : was_running_) EXPECT_EQ(flag, 0);
  EXPECT_TRUE(waiter_.waits.empty());
  ASSERT_FALSE(status_.statuses.empty());
  EXPECT_EQ(status_.statuses.back(), "");
  EXPECT_EQ(restart_sibling_programs(was_running_, launcher_, status_, waiter_, nullptr), 0);
  EXPECT_TRUE(waiter_.waits.empty());
}

TEST_F(SiblingPrograms, TwoRunningAreClosedInTableOrderWithOneWait) {
  start("mepli.exe");
  start("plo.exe");
  close_sibling_programs(was_running_, launcher_, status_, waiter_);
  EXPECT_EQ(std::vector<std::int32_t>(was_running_, was_running_ + kSiblingCount),
            (std::vector<std::int32_t>{1, 0, 1, 0, 0}));
  EXPECT_EQ(waiter_.waits, std::vector<unsigned>{5000});
  EXPECT_EQ(status_.statuses,
            (std::vector<std::string>{"plo2.exeの終了", "mepli2.exeの終了", "しばらくお待ちください。", ""}));
  EXPECT_TRUE(all_ended());
  // Each closes at its own pace; the status texts above show the order they were found in.
  EXPECT_EQ(log_lines("close plo.exe").size(), 1u);
  EXPECT_EQ(log_lines("close mepli.exe").size(), 1u);
}

TEST_F(SiblingPrograms, EveryMarkedWindowIsClosedEvenBeyondTen) {
  for (int i = 0; i < 11; ++i) start("orbe.exe");
  start("gaft.exe");
  close_sibling_programs(was_running_, launcher_, status_, waiter_);
  EXPECT_EQ(was_running_[4], 1);
  EXPECT_EQ(was_running_[3], 1);
  EXPECT_EQ(waiter_.waits, std::vector<unsigned>{5000});
  EXPECT_TRUE(all_ended());
  EXPECT_EQ(log_lines("close orbe.exe").size(), 11u);
  EXPECT_EQ(log_lines("close gaft.exe").size(), 1u);
}

TEST_F(SiblingPrograms, MinimisedWindowIsRestoredBeforeItIsAskedToClose) {
  start("rasto.exe");
  HWND window = testing::wait_for_marked_window(children_[0]->id(), "rasto2.exe", 5000);
  ASSERT_TRUE(testing::hold_minimised(window));
  close_sibling_programs(was_running_, launcher_, status_, waiter_);
  EXPECT_EQ(was_running_[1], 1);
  EXPECT_TRUE(all_ended());
  EXPECT_EQ(log_lines("close rasto.exe"), std::vector<std::string>{"close rasto.exe"});  // not "... minimised"
}

TEST_F(SiblingPrograms, ARestartedProgramRunsAgainWithTheRightsItWasClosedWith) {
  start("plo.exe");
  close_sibling_programs(was_running_, launcher_, status_, waiter_);
  ASSERT_TRUE(all_ended());
  // The updater starts siblings from its own folder: the test program's.
  const std::string copied = program_folder() + "plo.exe";
  ASSERT_TRUE(CopyFileA(testing::fixture_path("sibling_1_0_0_1.exe").c_str(), copied.c_str(), FALSE));
  EXPECT_EQ(restart_sibling_programs(was_running_, launcher_, status_, waiter_, nullptr), 0);
  HWND window = nullptr;
  for (int i = 0; i < 200 && window == nullptr; ++i) {
    const std::vector<HWND> found = find_marked_windows("plo2.exe");
    if (!found.empty()) window = found.front();
    if (window == nullptr) Sleep(100);
  }
  EXPECT_EQ(status_.statuses.back(), "");
  ASSERT_NE(window, nullptr) << "plo.exe did not start again";
  DWORD process_id = 0;
  GetWindowThreadProcessId(window, &process_id);
  OwnedHandle process(OpenProcess(SYNCHRONIZE, FALSE, process_id));
  PostMessageA(window, WM_CLOSE, 0, 0);
  if (process.valid()) WaitForSingleObject(process.get(), 10000);
  DeleteFileA(copied.c_str());
}

TEST_F(SiblingPrograms, WithoutTheirKeptRightsAnElevatedCopyLeavesThemClosedAndSaysSo) {
  // Nothing was closed by this launcher, so it kept no rights; the wait still counts each one.
  std::int32_t found[kSiblingCount] = {1, 0, 1, 0, 0};
  if (!launcher_.elevated()) GTEST_SKIP() << "this process runs without administrator rights";
  EXPECT_EQ(restart_sibling_programs(found, launcher_, status_, waiter_, nullptr), 2);
  EXPECT_EQ(waiter_.waits, std::vector<unsigned>{2000});
  EXPECT_EQ(status_.statuses,
            (std::vector<std::string>{"しばらくお待ちください。", "再起動できませんでした：plo.exe、mepli.exe"}));
}

}  // namespace
}  // namespace tolvex
