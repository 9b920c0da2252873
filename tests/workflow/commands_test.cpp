// The version-check and update commands over scripted doubles: every exit, with the order of
// what they ask of the dial-up service, the transfers, the window, the boxes, the waits and the
// installation, in one journal.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/abort_request.h"
#include "base/error_code.h"
#include "catalogue/update_list_text.h"
#include "net/dial_up_link.h"
#include "support/fake_command_window.h"
#include "support/fake_remote_access_service.h"
#include "support/recording_waiter.h"
#include "support/scripted_transfers.h"
#include "workflow/update_command.h"
#include "workflow/version_check_command.h"

namespace tolvex {
namespace {

using testing::Journal;

constexpr char kTwoNewer[] = "plo.exe&1,00,0,0002\r\nsef.dll&2\r\nnuri.dll&1,00,0,0001\r\n";
constexpr char kNoneNewer[] = "plo.exe&1,00,0,0001\r\n";
const RasConnection kDialled = reinterpret_cast<RasConnection>(0x1234);

// A progress report during which the user confirms an abort.
int confirm_abort(std::int32_t, std::uint32_t, std::uint32_t, const char*) {
  set_abort_requested(true);
  return 1;
}
int no_abort(std::int32_t, std::uint32_t, std::uint32_t, const char*) { return 0; }

class Commands : public ::testing::Test {
 protected:
  void SetUp() override {
    load_managed_names(state_.Table);
    for (int i = 0; i < state_.Table.RowCount; ++i) set_row_version(state_.Table, i, "1,00,0,0001");
    replace_update_list_text(nullptr);
    set_last_error(kErrorNone);
    window_.journal = boxes_.journal = ras_.journal = waiter_.journal = transfers_.journal = &journal_;
    transfers_.busy = &state_.Busy;
    transfers_.list_text = kTwoNewer;
  }

  void dial_up_configured() {
    state_.Connection.ConnectType = 1;
    state_.Connection.DialUpName = "provider";
  }
  // The service finds no active connection and dials; `hang_up_results` answer the hang-ups.
  void expect_dial(std::vector<std::uint32_t> hang_up_results = {0}) {
    ras_.expect_enumerate(0, nullptr);
    ras_.expect_get_params();
    ras_.expect_dial(0, kDialled);
    for (std::uint32_t result : hang_up_results) ras_.expect_hang_up(result);
  }

  CommandContext context() {
    auto install = [this](ManagedFileTable& table, std::int32_t(&)[kSiblingCount], CatalogueView&, NativeWindow,
                          Waiter&, ArchiveGuard*) {
      installed_rows_.clear();
      for (int i = 0; i < table.RowCount; ++i)
        if (table.UpdateFlags[i] != 0) installed_rows_.push_back(table.FileRows[i].Name);
      journal_.push_back("install busy " + std::to_string(state_.Busy));
      return install_result_;
    };
    return CommandContext{state_, window_, link_, transfers_, progress_, boxes_, waiter_, install};
  }
  void check() {
    CommandContext c = context();
    run_version_check(c);
  }
  void update() {
    CommandContext c = context();
    run_update(c);
  }

  // Boxes by caption and text, in order.
  void expect_boxes(const std::vector<std::pair<std::string, std::string>>& expected) {
    ASSERT_EQ(boxes_.shown.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ(boxes_.shown[i].caption, expected[i].first) << i;
      EXPECT_EQ(boxes_.shown[i].text, expected[i].second) << i;
    }
  }

  UpdateWindowState state_;
  testing::FakeCommandWindow window_;
  testing::ScriptedMessageBoxes boxes_;
  testing::FakeRemoteAccessService ras_;
  testing::RecordingWaiter waiter_;
  testing::ScriptedTransfers transfers_;
  DialUpLink link_{ras_, waiter_};
  ProgressCallback progress_ = no_abort;
  int install_result_ = 1;
  std::vector<std::string> installed_rows_;
  Journal journal_;
};

// The version check

TEST_F(Commands, CheckWithoutDialUpFetchesComparesAndCounts) {
  set_abort_requested(true);
  check();
  EXPECT_EQ(journal_, (Journal{"buttons off off 中断", "fetch busy 0", "reset progress", "status アップデート情報確認",
                               "status アップデートファイル有り", "box 情報", "buttons on on 終了"}));
  expect_boxes({{"情報", "2個のアップデート可能なファイルがあります。"}});
  EXPECT_EQ(boxes_.shown[0].kind, BoxKind::kInformation);
  EXPECT_EQ(state_.ListFetched, 1);
  EXPECT_FALSE(abort_requested());
  EXPECT_EQ(window_.view.latest_writes.size(), 2u);
}

TEST_F(Commands, CheckDialsBeforeTheFetchAndHangsUpBeforeComparing) {
  dial_up_configured();
  transfers_.list_text = kNoneNewer;
  expect_dial();
  check();
  EXPECT_TRUE(ras_.script_done());
  EXPECT_EQ(journal_,
            (Journal{"buttons off off 中断", "status ダイアルアップ接続", "ras enumerate", "ras get_params", "ras dial",
                     "fetch busy 0", "reset progress", "status 切断", "ras hang_up", "status アップデート情報確認",
                     "status アップデートファイル無し", "box 情報", "buttons on on 終了"}));
  expect_boxes({{"情報", "アップデート可能なファイルはありません。\n現在最新の環境です。"}});
}

TEST_F(Commands, CheckReportsAFailedHangUpAndGoesOn) {
  dial_up_configured();
  expect_dial({1, 1});
  check();
  EXPECT_TRUE(ras_.script_done());
  EXPECT_EQ(waiter_.waits, std::vector<unsigned>{3000});
  expect_boxes({{"切断", "切断に失敗しました。"}, {"情報", "2個のアップデート可能なファイルがあります。"}});
  EXPECT_EQ(boxes_.shown[0].kind, BoxKind::kStop);
}

TEST_F(Commands, CheckLeavesAnActiveConnectionUp) {
  dial_up_configured();
  ras_.expect_enumerate(0, reinterpret_cast<RasConnection>(0x55));
  check();
  EXPECT_TRUE(ras_.script_done());  // no dial, no hang-up
  EXPECT_EQ(state_.DialledByUs, 0);
  expect_boxes({{"情報", "2個のアップデート可能なファイルがあります。"}});
}

TEST_F(Commands, CheckWithAFailedFetchHangsUpThenShowsTheStopBox) {
  dial_up_configured();
  expect_dial();
  transfers_.failures = {kErrorNoFileAtUrl};
  check();
  EXPECT_EQ(journal_, (Journal{"buttons off off 中断", "status ダイアルアップ接続", "ras enumerate", "ras get_params",
                               "ras dial", "fetch busy 0", "status 指定されたURLにファイルが存在しません。",
                               "reset progress", "status 切断", "ras hang_up", "box 取得", "buttons on on 終了"}));
  expect_boxes({{"取得", "アップデート情報の取得に失敗しました。"}});
  EXPECT_EQ(boxes_.shown[0].kind, BoxKind::kStop);
  EXPECT_EQ(state_.ListFetched, 0);
}

TEST_F(Commands, RefusedConnectionAskedAndDeclinedEndsEitherCommandWithoutATransfer) {
  state_.Connection.ConnectType = 1;  // and no entry name: the dial is refused
  boxes_.answer(BoxAnswer::kNo);
  boxes_.answer(BoxAnswer::kNo);
  check();
  update();
  EXPECT_TRUE(transfers_.calls.empty());
  expect_boxes({{"接続", "接続に失敗しました。このまま処理を続けますか？"},
                {"接続", "接続に失敗しました。このまま処理を続けますか？"}});
  EXPECT_EQ(boxes_.shown[0].kind, BoxKind::kQuestion);
  EXPECT_EQ(window_.view.statuses.back(), "関数の引数に誤りがあります。");
  EXPECT_EQ(journal_.back(), "buttons on on 終了");
}

TEST_F(Commands, RefusedConnectionAnsweredYesGoesOn) {
  state_.Connection.ConnectType = 1;
  boxes_.answer(BoxAnswer::kYes);
  check();
  EXPECT_EQ(transfers_.calls, std::vector<std::string>{"fetch"});
  EXPECT_EQ(boxes_.shown.back().text, "2個のアップデート可能なファイルがあります。");
}

// The update

TEST_F(Commands, UpdateDownloadsInTableOrderHangsUpAndInstallsWhenNoLongerBusy) {
  dial_up_configured();
  expect_dial();
  update();
  EXPECT_TRUE(ras_.script_done());
  EXPECT_EQ(journal_, (Journal{"buttons off off 中断",
                               "status ダイアルアップ接続",
                               "ras enumerate",
                               "ras get_params",
                               "ras dial",
                               "fetch busy 0",
                               "reset progress",
                               "status アップデート情報確認",
                               "status アップデートファイル有り",
                               "buttons off on 中断",
                               "download plo.lzh busy 1",
                               "reset progress",
                               "download sef.lzh busy 1",
                               "reset progress",
                               "status ファイル取得完了",
                               "status 切断",
                               "ras hang_up",
                               "buttons off off 中断",
                               "install busy 0",
                               "box 完了",
                               "buttons on on 終了"}));
  expect_boxes({{"完了", "アップデートは完了しました。\n今後ともStablon２をよろしくお願いいたします。"}});
  EXPECT_EQ(boxes_.shown[0].kind, BoxKind::kInformation);
  EXPECT_EQ(installed_rows_, (std::vector<std::string>{"plo.exe", "sef.dll"}));
  EXPECT_EQ(state_.Busy, 0);
  EXPECT_EQ(state_.ListFetched, 1);
}

TEST_F(Commands, UpdateAfterACheckDialsAgainButDoesNotFetchAgain) {
  dial_up_configured();
  expect_dial();
  expect_dial();
  check();
  update();
  EXPECT_TRUE(ras_.script_done());
  EXPECT_EQ(transfers_.calls, (std::vector<std::string>{"fetch", "plo.lzh", "sef.lzh"}));
}

TEST_F(Commands, UpdateWithNothingNewerClosesTheConnectionAndSaysUpToDate) {
  dial_up_configured();
  expect_dial();
  transfers_.list_text = kNoneNewer;
  update();
  EXPECT_TRUE(ras_.script_done());
  expect_boxes({{"情報", "アップデート可能なファイルはありません。\n現在最新の環境です。"}});
  EXPECT_EQ(transfers_.calls, std::vector<std::string>{"fetch"});
  EXPECT_TRUE(installed_rows_.empty());
}

TEST_F(Commands, UpdateWithAFailedFetchHangsUpAndShowsTheStopBox) {
  dial_up_configured();
  expect_dial();
  transfers_.failures = {kErrorTransfer};
  update();
  EXPECT_TRUE(ras_.script_done());
  expect_boxes({{"取得", "アップデート情報の取得に失敗しました。"}});
  EXPECT_EQ(state_.ListFetched, 0);
  EXPECT_EQ(journal_.back(), "buttons on on 終了");
}

TEST_F(Commands, FailedDownloadStopsTheRowsHangsUpAndInstallsNothing) {
  dial_up_configured();
  expect_dial();
  transfers_.failures = {kErrorNone, kErrorNoFileAtUrl};
  update();
  EXPECT_TRUE(ras_.script_done());
  const Journal tail(journal_.end() - 8, journal_.end());
  EXPECT_EQ(tail,
            (Journal{"buttons off on 中断", "download plo.lzh busy 1", "status 指定されたURLにファイルが存在しません。",
                     "reset progress", "status 切断", "ras hang_up", "box 取得", "buttons on on 終了"}));
  expect_boxes({{"取得", "ファイルの取得に失敗しました。"}});
  EXPECT_EQ(boxes_.shown[0].kind, BoxKind::kStop);
  EXPECT_EQ(transfers_.calls, (std::vector<std::string>{"fetch", "plo.lzh"}));
  EXPECT_TRUE(installed_rows_.empty());
  EXPECT_EQ(state_.Busy, 0);
}

TEST_F(Commands, ConfirmedAbortSaysSoAndInstallsNothing) {
  progress_ = confirm_abort;
  transfers_.failures = {kErrorNone, kErrorAborted};
  update();
  expect_boxes({{"取得", "ファイルの取得を中断しました。"}});
  EXPECT_EQ(boxes_.shown[0].kind, BoxKind::kInformation);
  EXPECT_TRUE(installed_rows_.empty());
  EXPECT_FALSE(abort_requested());  // cleared when the buttons come back
  EXPECT_EQ(state_.Busy, 0);
}

TEST_F(Commands, FailedInstallationShowsTheStopBox) {
  install_result_ = 0;
  update();
  expect_boxes({{"アップデート", "アップデートに失敗しました。"}});
  EXPECT_EQ(boxes_.shown[0].kind, BoxKind::kStop);
  EXPECT_EQ(journal_.back(), "buttons on on 終了");
}

TEST_F(Commands, FailedHangUpOnTheUpdatePathIsReportedBeforeTheInstallation) {
  dial_up_configured();
  expect_dial({1, 1});
  update();
  EXPECT_TRUE(ras_.script_done());
  EXPECT_EQ(waiter_.waits, std::vector<unsigned>{3000});
  const Journal tail(journal_.end() - 11, journal_.end());
  EXPECT_EQ(tail, (Journal{"status 切断", "ras hang_up", "wait 3000", "ras hang_up", "reset progress",
                           "status ネットワークの切断に失敗しました。", "box 切断", "buttons off off 中断",
                           "install busy 0", "box 完了", "buttons on on 終了"}));
}

}  // namespace
}  // namespace tolvex
