// Progress reports into the main window and the abort confirmation.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>

#include "net/abort_request.h"
#include "resources/resource_ids.h"
#include "support/temp_dir.h"
#include "ui/main_window_handle.h"
#include "ui/open_window.h"
#include "ui/progress.h"
#include "ui/update_dialog.h"
#include "workflow/fake_command_window.h"

namespace tolvex {
namespace {

std::string line(std::uint32_t done, std::uint32_t total, std::uint32_t* percent = nullptr) {
  char text[256] = {};
  std::uint32_t p = format_progress_line(done, total, "取得中", text, sizeof text);
  if (percent != nullptr) *percent = p;
  return text;
}

TEST(ProgressLine, FiguresOnlyWhenDoneAndTotalAreKnown) {
  EXPECT_EQ(line(0, 100), "取得中");
  EXPECT_EQ(line(1023, 0), "取得中");
  std::uint32_t percent = 0;
  EXPECT_EQ(line(1023, 4096, &percent), "取得中24％(1023/4096)");
  EXPECT_EQ(percent, 24u);
  EXPECT_EQ(line(4096, 4096, &percent), "取得中100％(4096/4096)");
  EXPECT_EQ(percent, 100u);
}

TEST(ProgressLine, LargeTransfersKeepTheRightPercentage) {
  std::uint32_t percent = 0;
  EXPECT_EQ(line(3000000000u, 4000000000u, &percent), "取得中75％(3000000000/4000000000)");
  EXPECT_EQ(percent, 75u);
}

TEST(ProgressLine, LongTextIsCutWithinTheLine) {
  std::string text(300, 'x');
  char out[256];
  format_progress_line(1, 2, text.c_str(), out, sizeof out);
  EXPECT_EQ(std::string(out).size(), 255u);
}


TEST(ProgressCallback, WritesTheStatusLineAndTheBar) {
  testing::ScopedWorkDir dir;
  std::string status;
  LRESULT position = -1;
  int result = -1;
  testing::with_open_window([&](HWND window) {
    result = progress_callback(3004, 512, 1024, "vemoda.lzhをダウンロードしています。");
    char text[256] = {};
    GetDlgItemTextA(window, IDC_STATUS_LINE, text, sizeof text);
    status = text;
    position = SendDlgItemMessageA(window, IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0);
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(status, "vemoda.lzhをダウンロードしています。50％(512/1024)");
  EXPECT_EQ(position, 50);
}

TEST(ProgressCallback, PendingAbortIsConfirmedOrWithdrawn) {
  testing::ScopedWorkDir dir;
  testing::ScriptedMessageBoxes boxes;
  ScopedMessageBoxes scoped(boxes);
  int withdrawn = -1, confirmed = -1;
  bool after_withdraw = true, after_confirm = false;
  testing::with_open_window([&](HWND) {
    set_abort_requested(true);
    boxes.answer(IDCANCEL);
    withdrawn = progress_callback(3004, 1, 2, "x");
    after_withdraw = abort_requested();
    set_abort_requested(true);
    boxes.answer(IDOK);
    confirmed = progress_callback(3004, 1, 2, "x");
    after_confirm = abort_requested();
    set_abort_requested(false);
  });
  EXPECT_EQ(withdrawn, 0);
  EXPECT_FALSE(after_withdraw);
  EXPECT_EQ(confirmed, 1);
  EXPECT_TRUE(after_confirm);
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[0].caption, "中断要求");
  EXPECT_EQ(boxes.shown[0].text, "中断処理を行います。\nよろしいですか？");
  EXPECT_EQ(boxes.shown[0].type, static_cast<UINT>(MB_OKCANCEL | MB_DEFBUTTON2));
}

TEST(ProgressCallback, NoBoxWithoutAPendingAbort) {
  testing::ScopedWorkDir dir;
  testing::ScriptedMessageBoxes boxes;
  ScopedMessageBoxes scoped(boxes);
  testing::with_open_window([&](HWND) { progress_callback(3004, 0, 0, "x"); });
  EXPECT_TRUE(boxes.shown.empty());
}

}  // namespace
}  // namespace tolvex
