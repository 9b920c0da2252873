// The version check from end to end: the real program against the local HTTP server, driven and
// read from another process.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

#include "demo_driver/app_driver_win.h"
#include "e2e/suite_folder.h"
#include "resources/resource_ids.h"
#include "support/test_http_server.h"

namespace tolvex {
namespace {

using testing::ChildProcess;

constexpr const char kMarker[] = "tolvex2.exe";

class VersionCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.ok()) << "TOLVEX_HTTP_DIR not set";
    testing::clear_settings();
  }
  void TearDown() override { testing::clear_settings(); }

  // Publishes `list` under a folder of this test's own and points the updater at it.
  void serve_list(const std::string& folder, const std::string& list) {
    server_.put_file(folder + "/update.txt", list);
    testing::set_updater_url(server_.url("/" + folder + "/"));
  }
  void start() {
    app_ = std::make_unique<ChildProcess>(suite_.updater_path(), suite_.path());
    window_ = testing::wait_for_marked_window(app_->id(), kMarker, 20000);
    ASSERT_NE(window_, nullptr);
  }
  HWND wait_for_box(const std::string& caption) {
    return testing::wait_for_window_with_caption(app_->id(), caption, 20000);
  }
  std::string latest(int row) { return testing::list_item_text(GetDlgItem(window_, IDC_FILE_LIST), row, 2); }
  bool idle_buttons() {
    return IsWindowEnabled(GetDlgItem(window_, IDC_CHECK_BUTTON)) &&
           IsWindowEnabled(GetDlgItem(window_, IDC_UPDATE_BUTTON)) && IsWindowEnabled(GetDlgItem(window_, IDCANCEL)) &&
           testing::control_text(window_, IDCANCEL) == "終了";
  }

  testing::TestHttpServer server_;
  testing::SuiteFolder suite_;
  std::unique_ptr<ChildProcess> app_;
  HWND window_ = nullptr;
};

TEST_F(VersionCheck, ThreeNewerFilesShowTheCountAndTheirLatestVersions) {
  serve_list("vc-three",
             "vemoda.dll&1,02,3,0046\r\nnuri.dll&10,11,12,0013\r\nsef.dll&1,00,0,0001\r\n"
             "plo.exe&1,00,0,0001\r\nPLO.EXE&9\r\n");
  start();
  testing::click_button(window_, IDC_CHECK_BUTTON);
  HWND box = wait_for_box("情報");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(testing::message_box_text(box), "3個のアップデート可能なファイルがあります。");
  // While the box is up the command still runs: every button is disabled and IDCANCEL reads 中断.
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window_, IDC_CHECK_BUTTON)));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window_, IDC_UPDATE_BUTTON)));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window_, IDCANCEL)));
  EXPECT_EQ(testing::control_text(window_, IDCANCEL), "中断");
  EXPECT_EQ(latest(6), "1,02,3,0046");
  EXPECT_EQ(latest(8), "");  // equal version
  EXPECT_EQ(latest(9), "1,00,0,0001");
  EXPECT_EQ(latest(0), "1,00,0,0001");
  EXPECT_EQ(testing::control_text(window_, IDC_STATUS_LINE), "アップデートファイル有り");
  testing::click_button(box, IDOK);
  EXPECT_TRUE(testing::wait_until([&] { return idle_buttons(); }, 10000));
  const auto requests = server_.requests_for("/vc-three/update.txt");
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].method, "GET");
}

TEST_F(VersionCheck, NothingNewerSaysTheInstallationIsUpToDate) {
  serve_list("vc-none", "vemoda.dll&1,02,3,0045\r\nnuri.dll&10,11,12,0012\r\n");
  start();
  testing::click_button(window_, IDC_CHECK_BUTTON);
  HWND box = wait_for_box("情報");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(testing::message_box_text(box), "アップデート可能なファイルはありません。\n現在最新の環境です。");
  EXPECT_EQ(testing::control_text(window_, IDC_STATUS_LINE), "アップデートファイル無し");
  testing::click_button(box, IDOK);
  EXPECT_TRUE(testing::wait_until([&] { return idle_buttons(); }, 10000));
}

TEST_F(VersionCheck, MissingListShowsTheMessageAndTheFetchBox) {
  testing::set_updater_url(server_.url("/vc-missing/"));
  start();
  testing::click_button(window_, IDC_CHECK_BUTTON);
  HWND box = wait_for_box("取得");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(testing::message_box_text(box), "アップデート情報の取得に失敗しました。");
  EXPECT_EQ(testing::control_text(window_, IDC_STATUS_LINE), "指定されたURLにファイルが存在しません。");
  testing::click_button(box, IDOK);
  EXPECT_TRUE(testing::wait_until([&] { return idle_buttons(); }, 10000));
}

TEST_F(VersionCheck, SecondCheckFetchesTheListAgain) {
  serve_list("vc-twice", "vemoda.dll&1,02,3,0046\r\n");
  start();
  for (int round = 0; round < 2; ++round) {
    testing::click_button(window_, IDC_CHECK_BUTTON);
    HWND box = wait_for_box("情報");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(testing::message_box_text(box), "1個のアップデート可能なファイルがあります。");
    testing::click_button(box, IDOK);
    ASSERT_TRUE(testing::wait_until([&] { return idle_buttons(); }, 10000));
  }
  EXPECT_EQ(server_.requests_for("/vc-twice/update.txt").size(), 2u);
}

TEST_F(VersionCheck, CloseRequestDuringTheCheckIsIgnored) {
  std::string list;
  for (int i = 0; i < 12; ++i) list += "unknown" + std::to_string(i) + ".dll&1\r\n";
  list += "vemoda.dll&1,02,3,0046\r\n";
  server_.put_file("vc-slow/update.txt", list);
  testing::set_updater_url(server_.url("/_fault/trickle=16:40/vc-slow/"));
  start();
  testing::click_button(window_, IDC_CHECK_BUTTON);
  ASSERT_TRUE(testing::wait_until(
      [&] {
        return testing::control_text(window_, IDC_STATUS_LINE).rfind("アップデート情報を取得しています。", 0) == 0;
      },
      20000));
  PostMessageA(window_, WM_CLOSE, 0, 0);  // the close box while IDCANCEL is disabled
  HWND box = wait_for_box("情報");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(testing::message_box_text(box), "1個のアップデート可能なファイルがあります。");
  testing::click_button(box, IDOK);
  EXPECT_TRUE(testing::wait_until([&] { return idle_buttons(); }, 10000));
  EXPECT_FALSE(app_->wait_for_exit(500));
  testing::click_button(window_, IDCANCEL);  // idle again: now it closes
  EXPECT_TRUE(app_->wait_for_exit(10000));
}

}  // namespace
}  // namespace tolvex
