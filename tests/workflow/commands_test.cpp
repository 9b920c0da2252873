// The version-check and update commands over scripted doubles: every exit, with the order of
// what they ask of the dial-up service, the transfers, the window, the boxes, the waits and the
// installation, in one journal.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "base/errors.h"
#include "catalogue/update_list.h"
#include "net/dial_up_link.h"
#include "support/command_doubles.h"
#include "support/fake_remote_access_service.h"
#include "support/recording_doubles.h"
#include "workflow/commands.h"

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
    auto install = [this](ManagedFileTable& table, std::int32_t(&was_running)[kSiblingCount], CatalogueView&,
                          NativeWindow, Waiter&, ArchiveGuard*, InstallObserver* observer) {
      was_running[0] = was_running[2] = 1;  // plo.exe and mepli.exe were running
      installed_rows_.clear();
      for (int i = 0; i < table.RowCount; ++i) {
        if (table.UpdateFlags[i] == 0) continue;
        installed_rows_.push_back(table.FileRows[i].Name);
        observer->file_installed(table.FileRows[i].Name, InstallOutcome::kReplaced, 0, false);
      }
      journal_.push_back("install busy " + std::to_string(state_.Busy));
      return install_result_;
    };
    return CommandContext{state_, window_, link_, transfers_, progress_, boxes_, waiter_, install, log_};
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
  testing::RecordingCommandLog log_;
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
  ASSERT_EQ(log_.records.size(), 1u);
  EXPECT_EQ(log_.records[0],
            "[2026-12-09 07:05:03] バージョンチェック\r\n"
            "  アドレス: http://127.0.0.1/upd/update.txt\r\n"
            "  リスト: 取得しました\r\n"
            "  対象: plo.exe 1,00,0,0001 → 1,00,0,0002\r\n"
            "  対象: sef.dll 1,00,0,0001 → 2\r\n"
            "  結果: 2個のアップデート可能なファイルがあります。\r\n");
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
  ASSERT_EQ(log_.records.size(), 1u);
  EXPECT_NE(log_.records[0].find("\r\n  リスト: 取得失敗 2010 指定されたURLにファイルが存在しません。\r\n"
                                 "  結果: アップデート情報の取得に失敗しました。\r\n"),
            std::string::npos);
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
  ASSERT_EQ(log_.records.size(), 2u);  // one record per command, on every way out
  for (const std::string& record : log_.records)
    EXPECT_NE(record.find("  接続: 失敗 2024 関数の引数に誤りがあります。 中止\r\n"), std::string::npos) << record;
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
  EXPECT_EQ(log_.records,
            std::vector<std::string>{
                "[2026-12-09 07:05:03] アップデート\r\n"
                "  アドレス: http://127.0.0.1/upd/update.txt\r\n"
                "  リスト: 取得しました\r\n"
                "  対象: plo.exe 1,00,0,0001 → 1,00,0,0002\r\n"
                "  対象: sef.dll 1,00,0,0001 → 2\r\n"
                "  インストール: plo.exe 0 置き換え完了\r\n"
                "  インストール: sef.dll 0 置き換え完了\r\n"
                "  終了・再起動: plo.exe mepli.exe\r\n"
                "  結果: アップデートは完了しました。 今後ともStablon２をよろしくお願いいたします。\r\n"});
}

TEST_F(Commands, UpdateAfterACheckDialsAgainButDoesNotFetchAgain) {
  dial_up_configured();
  expect_dial();
  expect_dial();
  check();
  update();
  EXPECT_TRUE(ras_.script_done());
  EXPECT_EQ(transfers_.calls, (std::vector<std::string>{"fetch", "plo.lzh", "sef.lzh"}));
  ASSERT_EQ(log_.records.size(), 2u);
  EXPECT_NE(log_.records[1].find("  リスト: 取得済みのものを使用\r\n"), std::string::npos);
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
  ASSERT_EQ(log_.records.size(), 1u);
  EXPECT_NE(log_.records[0].find("  ダウンロード: 失敗 2010 指定されたURLにファイルが存在しません。\r\n"
                                 "  結果: ファイルの取得に失敗しました。\r\n"),
            std::string::npos);
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

// A working folder the update cannot write

struct FakeFolderRights : FolderRights {
  bool writable = false;
  bool is_elevated = false;
  ElevatedStart start = ElevatedStart::kStarted;
  int probes = 0;
  int starts = 0;
  bool working_folder_writable() override { return ++probes, writable; }
  bool may_replace(const char* name) override { return fixed.count(name) == 0; }
  std::set<std::string> fixed;  // files that may not be replaced
  bool elevated() override { return is_elevated; }
  ElevatedStart start_elevated_update() override { return ++starts, start; }
};

TEST_F(Commands, UnwritableFolderAsksForAdministratorRightsAndFetchesNoArchive) {
  struct Case {
    const char* what;
    bool elevated;
    bool authenticated;
    BoxAnswer answer;
    ElevatedStart start;
    std::vector<std::pair<std::string, std::string>> boxes;
  };
  const std::string question =
      "このフォルダにファイルを書き込む権限がありません。\n管理者として実行し直してアップデートしますか？";
  for (const Case& c :
       {Case{"handed over", false, true, BoxAnswer::kYes, ElevatedStart::kStarted, {{"アップデート", question}}},
        Case{
            "declined",
            false,
            true,
            BoxAnswer::kNo,
            ElevatedStart::kStarted,
            {{"アップデート", question}, {"アップデート", "ファイルを書き込めないため、アップデートを中止しました。"}}},
        Case{"elevation refused",
             false,
             true,
             BoxAnswer::kYes,
             ElevatedStart::kRefused,
             {{"アップデート", question},
              {"アップデート", "管理者として実行できなかったため、アップデートを中止しました。"}}},
        Case{"already administrator",
             true,
             true,
             BoxAnswer::kYes,
             ElevatedStart::kStarted,
             {{"アップデート", "このフォルダにファイルを書き込めないため、アップデートできません。"}}},
        // Neither signed nor from an https address: never installed with administrator rights.
        Case{"not authenticated",
             false,
             false,
             BoxAnswer::kYes,
             ElevatedStart::kStarted,
             {{"アップデート", "このフォルダにファイルを書き込めないため、アップデートできません。"}}}}) {
    SCOPED_TRACE(c.what);
    boxes_.shown.clear();
    transfers_.calls.clear();
    journal_.clear();
    state_.ListFetched = 0;
    FakeFolderRights rights;
    rights.is_elevated = c.elevated;
    rights.start = c.start;
    transfers_.is_authenticated = c.authenticated;
    boxes_.answer(c.answer);
    CommandContext command = context();
    command.rights = &rights;
    run_update(command);
    expect_boxes(c.boxes);
    EXPECT_EQ(transfers_.calls, std::vector<std::string>{"fetch"});  // no archive fetched
    EXPECT_TRUE(installed_rows_.empty());
    EXPECT_EQ(rights.starts, !c.elevated && c.authenticated && c.answer == BoxAnswer::kYes ? 1 : 0);
    // A hand-over leaves the closing window as it is; every other way gives the buttons back.
    const bool handed_over = rights.starts == 1 && c.start == ElevatedStart::kStarted;
    EXPECT_EQ(journal_.back() == "buttons on on 終了", !handed_over);
  }
  // New files may be created, but a file to update may not be replaced: asked as for an
  // unwritable folder. A file that is not to be updated does not count.
  for (const char* fixed : {"plo.exe", "orbe.exe"}) {
    SCOPED_TRACE(fixed);
    boxes_.shown.clear();
    transfers_.calls.clear();
    state_.ListFetched = 0;
    FakeFolderRights rights;
    rights.writable = true;
    rights.fixed = {fixed};
    transfers_.is_authenticated = true;
    boxes_.answer(BoxAnswer::kYes);
    CommandContext command = context();
    command.rights = &rights;
    run_update(command);
    const bool asked = std::string(fixed) == "plo.exe";
    EXPECT_EQ(rights.starts, asked ? 1 : 0);
    EXPECT_EQ(transfers_.calls.size() > 1, !asked);  // archives fetched only when not asked
  }
  FakeFolderRights rights;  // a version check never asks
  CommandContext command = context();
  command.rights = &rights;
  run_version_check(command);
  EXPECT_EQ(rights.probes, 0);
}

}  // namespace
}  // namespace tolvex
