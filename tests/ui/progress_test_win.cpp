// Progress reports into the main window and the abort confirmation.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>

#include "base/errors.h"
#include "resources/resource_ids.h"
#include "support/command_doubles.h"
#include "support/temp_dir.h"
#include "ui/open_window_win.h"
#include "ui/progress.h"
#include "ui/update_dialog_win.h"

namespace tolvex {
namespace {

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
    boxes.answer(BoxAnswer::kCancel);
    withdrawn = progress_callback(3004, 1, 2, "x");
    after_withdraw = abort_requested();
    set_abort_requested(true);
    boxes.answer(BoxAnswer::kOk);
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
  EXPECT_EQ(boxes.shown[0].kind, BoxKind::kAbortQuestion);
}

TEST(ProgressCallback, NoBoxWithoutAPendingAbort) {
  testing::ScopedWorkDir dir;
  testing::ScriptedMessageBoxes boxes;
  ScopedMessageBoxes scoped(boxes);
  testing::with_open_window([&](HWND) { progress_callback(3004, 0, 0, "x"); });
  EXPECT_TRUE(boxes.shown.empty());
}

TEST(MessageBoxes, EachKindIsThePlatformBoxTypeTheProgramShows) {
  EXPECT_EQ(message_box_type(BoxKind::kQuestion), 0x24u);
  EXPECT_EQ(message_box_type(BoxKind::kStop), 0x10u);
  EXPECT_EQ(message_box_type(BoxKind::kInformation), 0x40u);
  EXPECT_EQ(message_box_type(BoxKind::kAbortQuestion), static_cast<unsigned>(MB_OKCANCEL | MB_DEFBUTTON2));
}

}  // namespace
}  // namespace tolvex
