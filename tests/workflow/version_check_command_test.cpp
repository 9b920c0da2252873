// The version-check command's road: connection, fetch, disconnection, comparison and the boxes,
// with the real transfer against the local server and a scripted dial-up service.
#include <gtest/gtest.h>

#include <string>

#include "catalogue/update_list_text.h"
#include "net/abort_request.h"
#include "net/dial_up_link.h"
#include "net/fake_remote_access_service.h"
#include "net/recording_waiter.h"
#include "support/scoped_update_settings.h"
#include "support/test_http_server.h"
#include "workflow/fake_command_window.h"
#include "workflow/version_check_command.h"

namespace tolvex {
namespace {

int no_progress(std::int32_t, std::uint32_t, std::uint32_t, const char*) { return 0; }

class VersionCheckCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.ok());
    load_managed_names(state_.Table);
    for (int i = 0; i < state_.Table.RowCount; ++i) set_row_version(state_.Table, i, "1,00,0,0001");
    replace_update_list_text(nullptr);
  }
  // Serves `list` in a folder of its own and points the settings at it.
  void serve(const std::string& folder, const std::string& list) {
    server_.put_file(folder + "/update.txt", list);
    settings_ = std::make_unique<testing::ScopedUpdateSettings>(server_.url("/" + folder + "/"));
  }
  void run() {
    CommandContext context{state_, window_, link_, no_progress, boxes_, waiter_};
    run_version_check(context);
  }
  void expect_boxes(std::vector<std::pair<std::string, std::string>> expected) {
    ASSERT_EQ(boxes_.shown.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ(boxes_.shown[i].caption, expected[i].first) << i;
      EXPECT_EQ(boxes_.shown[i].text, expected[i].second) << i;
    }
  }
  void expect_idle_at_end() {
    ASSERT_GE(window_.buttons.size(), 2u);
    EXPECT_FALSE(window_.buttons.front().commands);
    EXPECT_FALSE(window_.buttons.front().cancel);
    EXPECT_EQ(window_.buttons.front().label, "中断");
    EXPECT_TRUE(window_.buttons.back().commands);
    EXPECT_TRUE(window_.buttons.back().cancel);
    EXPECT_EQ(window_.buttons.back().label, "終了");
  }

  testing::TestHttpServer server_;
  std::unique_ptr<testing::ScopedUpdateSettings> settings_;
  UpdateWindowState state_;
  testing::FakeCommandWindow window_;
  testing::ScriptedMessageBoxes boxes_;
  testing::FakeRemoteAccessService ras_;
  testing::RecordingWaiter waiter_;
  DialUpLink link_{ras_, waiter_};
};

TEST_F(VersionCheckCommand, WithoutDialUpFetchesComparesAndCounts) {
  serve("cmd-count", "plo.exe&1,00,0,0002\r\nsef.dll&2\r\nnuri.dll&1,00,0,0001\r\n");
  set_abort_requested(true);
  run();
  expect_boxes({{"情報", "2個のアップデート可能なファイルがあります。"}});
  EXPECT_EQ(boxes_.shown[0].type, static_cast<UINT>(MB_OK | MB_ICONASTERISK));
  EXPECT_EQ(state_.ListFetched, 1);
  EXPECT_TRUE(ras_.calls.empty());
  EXPECT_FALSE(abort_requested());
  expect_idle_at_end();
  EXPECT_EQ(window_.view.statuses.back(), "アップデートファイル有り");
  EXPECT_GE(window_.view.progress_resets, 1);
}

TEST_F(VersionCheckCommand, NothingNewerSaysUpToDate) {
  serve("cmd-none", "plo.exe&1,00,0,0001\r\n");
  run();
  expect_boxes({{"情報", "アップデート可能なファイルはありません。\n現在最新の環境です。"}});
}

TEST_F(VersionCheckCommand, FailedFetchShowsTheReasonAndTheStopBox) {
  settings_ = std::make_unique<testing::ScopedUpdateSettings>(server_.url("/cmd-absent/"));
  run();
  expect_boxes({{"取得", "アップデート情報の取得に失敗しました。"}});
  EXPECT_EQ(boxes_.shown[0].type, static_cast<UINT>(MB_OK | MB_ICONHAND));
  EXPECT_EQ(state_.ListFetched, 0);
  EXPECT_EQ(window_.view.statuses.back(), "指定されたURLにファイルが存在しません。");
  expect_idle_at_end();
}

TEST_F(VersionCheckCommand, FailedConnectionAnsweredNoEndsWithoutFetching) {
  serve("cmd-no", "plo.exe&2\r\n");
  state_.Connection.ConnectType = 1;  // and no entry name: the dial is refused
  boxes_.answer(IDNO);
  run();
  expect_boxes({{"接続", "接続に失敗しました。このまま処理を続けますか？"}});
  EXPECT_EQ(boxes_.shown[0].type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
  EXPECT_TRUE(server_.requests_for("/cmd-no/update.txt").empty());
  EXPECT_EQ(window_.view.statuses.back(), "関数の引数に誤りがあります。");
  expect_idle_at_end();
}

TEST_F(VersionCheckCommand, FailedConnectionAnsweredYesGoesOn) {
  serve("cmd-yes", "plo.exe&2\r\n");
  state_.Connection.ConnectType = 1;
  boxes_.answer(IDYES);
  run();
  expect_boxes({{"接続", "接続に失敗しました。このまま処理を続けますか？"},
                {"情報", "1個のアップデート可能なファイルがあります。"}});
  EXPECT_EQ(server_.requests_for("/cmd-yes/update.txt").size(), 1u);
}

TEST_F(VersionCheckCommand, DialsBeforeAndHangsUpAfterTheFetch) {
  serve("cmd-dial", "plo.exe&2\r\n");
  state_.Connection.ConnectType = 1;
  state_.Connection.DialUpName = "provider";
  RasConnection handle = reinterpret_cast<RasConnection>(0x1234);
  ras_.expect_enumerate(0, nullptr);
  ras_.expect_get_params();
  ras_.expect_dial(0, handle);
  ras_.expect_hang_up(0);
  run();
  EXPECT_TRUE(ras_.script_done());
  EXPECT_EQ(state_.DialledByUs, 1);
  expect_boxes({{"情報", "1個のアップデート可能なファイルがあります。"}});
}

TEST_F(VersionCheckCommand, FailedHangUpIsReportedAndTheCommandGoesOn) {
  serve("cmd-hangup", "plo.exe&2\r\n");
  state_.Connection.ConnectType = 1;
  state_.Connection.DialUpName = "provider";
  ras_.expect_enumerate(0, nullptr);
  ras_.expect_get_params();
  ras_.expect_dial(0, reinterpret_cast<RasConnection>(0x99));
  ras_.expect_hang_up(1);
  ras_.expect_hang_up(1);
  run();
  EXPECT_TRUE(ras_.script_done());
  EXPECT_EQ(waiter_.waits, std::vector<unsigned>{3000});
  expect_boxes({{"切断", "切断に失敗しました。"}, {"情報", "1個のアップデート可能なファイルがあります。"}});
  EXPECT_EQ(boxes_.shown[0].type, static_cast<UINT>(MB_OK | MB_ICONHAND));
}

TEST_F(VersionCheckCommand, ActiveConnectionIsUsedAndLeftUp) {
  serve("cmd-active", "plo.exe&2\r\n");
  state_.Connection.ConnectType = 1;
  state_.Connection.DialUpName = "provider";
  ras_.expect_enumerate(0, reinterpret_cast<RasConnection>(0x55));
  run();
  EXPECT_TRUE(ras_.script_done());
  EXPECT_EQ(state_.DialledByUs, 0);
  expect_boxes({{"情報", "1個のアップデート可能なファイルがあります。"}});
}

}  // namespace
}  // namespace tolvex
