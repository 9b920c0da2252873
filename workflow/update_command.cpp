#include "workflow/update_command.h"

#include "base/abort_request.h"
#include "base/error_code.h"
#include "install/file_swap.h"
#include "workflow/command_record.h"
#include "workflow/command_steps.h"
#include "workflow/folder_rights_step.h"

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
  CommandRecord record(context.log, kUpdateCommandName);
  set_command_state(context, false, false);
  if (!connect_or_ask(context)) {
    record.connection_declined(last_error());
    set_command_state(context, true, true);
    return;
  }
  if (state.ListFetched == 0) {
    if (fetch_step(context) == 0) {
      record.list_failed(last_error());
      disconnect_with_report(context);
      record.ended(show_list_fetch_failed(context));
      set_command_state(context, true, true);
      return;
    }
    record.list_fetched();
    state.ListFetched = 1;
  } else {
    record.list_kept();
  }
  const std::int32_t found = compare_kept_list(context);
  record.offered(state.Table, state.List);
  if (found == 0) {
    disconnect_with_report(context);
    record.ended(show_up_to_date(context));
    set_command_state(context, true, true);
    return;
  }
  // A folder the downloads and the new files cannot go into ends the command before anything
  // is fetched, or hands it to a copy with administrator rights.
  if (!working_folder_writable(context)) {
    disconnect_with_report(context);
    const UnwritableFolderOutcome outcome = resolve_unwritable_folder(context);
    record.ended(outcome.said);
    if (!outcome.handed_over) set_command_state(context, true, true);
    return;
  }

  state.Busy = 1;
  set_command_state(context, false, true);
  if (download_step(context) == 0) {
    record.download_failed(last_error());
    disconnect_with_report(context);
    state.Busy = 0;
    if (abort_requested()) {
      context.boxes.show(owner, "ファイルの取得を中断しました。", "取得", BoxKind::kInformation);
      record.ended("ファイルの取得を中断しました。");
    } else {
      context.boxes.show(owner, "ファイルの取得に失敗しました。", "取得", BoxKind::kStop);
      record.ended("ファイルの取得に失敗しました。");
    }
    set_command_state(context, true, true);
    return;
  }
  disconnect_with_report(context);
  state.Busy = 0;
  set_command_state(context, false, false);

  const int installed = context.install(state.Table, state.WasRunning, context.window, owner, context.waiter,
                                        context.transfers.archive_guard(), &record);
  record.programs_closed(state.WasRunning);
  if (installed == 0) {
    context.boxes.show(owner, "アップデートに失敗しました。", "アップデート", BoxKind::kStop);
    record.ended("アップデートに失敗しました。");
  } else {
    const char* text = "アップデートは完了しました。\n今後ともStablon２をよろしくお願いいたします。";
    context.boxes.show(owner, text, "完了", BoxKind::kInformation);
    record.ended(text);
  }
  set_command_state(context, true, true);
}

}  // namespace tolvex
