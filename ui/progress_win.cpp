#include "ui/progress.h"

#include <windows.h>
#include <commctrl.h>

#include "base/errors.h"
#include "resources/resource_ids.h"
#include "ui/update_dialog_win.h"
#include "workflow/message_boxes.h"

namespace tolvex {

const char kAbortQuestionText[] = "中断処理を行います。\nよろしいですか？";
const char kAbortQuestionCaption[] = "中断要求";

// Every report is checked for a pending abort; drawing and pumping follow the pacer, so a long
// transfer is not slowed down by redrawing faster than the screen can show.
int progress_callback(std::int32_t, std::uint32_t done, std::uint32_t total, const char* text) {
  static RedrawPacer pacer;  // one transfer at a time, on the user-interface thread
  HWND window = main_window_handle();
  if (pacer.due(text, done, total, GetTickCount64())) {
    char line[256] = {};
    const bool with_figures = done != 0 && total != 0;
    const std::uint32_t percent = format_progress_line(done, total, text, line, sizeof line);
    if (with_figures) SendDlgItemMessageA(window, IDC_PROGRESS_BAR, PBM_SETPOS, percent, 0);
    SetDlgItemTextA(window, IDC_STATUS_LINE, line);
    UpdateWindow(window);
    if (pump_messages() == 1) return 0;
  } else if (!abort_requested()) {
    return 0;
  }
  if (message_boxes().show(window, kAbortQuestionText, kAbortQuestionCaption, BoxKind::kAbortQuestion) ==
      BoxAnswer::kOk)
    return 1;  // AbortRequested stays set until the command has read it
  set_abort_requested(false);
  return 0;
}

int pump_messages() {
  HWND window = main_window_handle();
  UpdateWindow(window);
  MSG message;
  while (!abort_requested() && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (window != nullptr && IsDialogMessageA(window, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return abort_requested() ? 0 : 1;
}

}  // namespace tolvex
