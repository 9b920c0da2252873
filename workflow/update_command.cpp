#include "workflow/update_command.h"

#include "base/abort_request.h"
#include "install/archive_names.h"
#include "workflow/command_steps.h"

namespace tolvex {

int download_step(CommandContext& context) {
  const ManagedFileTable& table = context.state.Table;
  for (int i = 0; i < table.RowCount; ++i) {
    if (table.UpdateFlags[i] == 0) continue;
    const ArchiveNames names = form_archive_names(table.FileRows[i].Name);
    if (context.transfers.download_file(names.archive, context.progress) == 0) {
      show_last_error(context.window);
      context.window.reset_progress();
      return 0;
    }
    context.window.reset_progress();
  }
  context.window.show_status("ファイル取得完了");
  return 1;
}

void run_update(CommandContext& context) {
  UpdateWindowState& state = context.state;
  const NativeWindow owner = context.window.owner();
  set_command_state(context, false, false);
  if (!connect_or_ask(context)) {
    set_command_state(context, true, true);
    return;
  }
  if (state.ListFetched == 0) {
    if (fetch_step(context) == 0) {
      disconnect_with_report(context);
      show_list_fetch_failed(context);
      set_command_state(context, true, true);
      return;
    }
    state.ListFetched = 1;
  }
  if (compare_kept_list(context) == 0) {
    disconnect_with_report(context);
    show_up_to_date(context);
    set_command_state(context, true, true);
    return;
  }

  state.Busy = 1;
  set_command_state(context, false, true);
  if (download_step(context) == 0) {
    disconnect_with_report(context);
    state.Busy = 0;
    if (abort_requested()) {
      context.boxes.show(owner, "ファイルの取得を中断しました。", "取得", BoxKind::kInformation);
    } else {
      context.boxes.show(owner, "ファイルの取得に失敗しました。", "取得", BoxKind::kStop);
    }
    set_command_state(context, true, true);
    return;
  }
  disconnect_with_report(context);
  state.Busy = 0;
  set_command_state(context, false, false);

  if (context.install(state.Table, state.WasRunning, context.window, owner, context.waiter,
                      context.transfers.archive_guard()) == 0) {
    context.boxes.show(owner, "アップデートに失敗しました。", "アップデート", BoxKind::kStop);
  } else {
    context.boxes.show(owner, "アップデートは完了しました。\n今後ともStablon２をよろしくお願いいたします。", "完了",
                       BoxKind::kInformation);
  }
  set_command_state(context, true, true);
}

}  // namespace tolvex
