#include "workflow/commands.h"

#include <cstdio>

#include "base/errors.h"
#include "catalogue/update_list.h"
#include "install/file_swap.h"
#include "net/dial_up_link.h"
#include "workflow/command_log.h"

namespace tolvex {

const char kExitLabel[] = "終了";
const char kAbortLabel[] = "中断";

void set_command_state(CommandContext& context, bool enable_commands, bool enable_cancel) {
  set_abort_requested(false);
  const bool idle = enable_commands && context.state.Busy == 0;
  context.window.set_buttons(enable_commands, enable_cancel, idle ? kExitLabel : kAbortLabel);
}

bool connect_or_ask(CommandContext& context) {
  UpdateWindowState& state = context.state;
  if (connect_step(context.link, static_cast<std::int32_t>(state.Connection.ConnectType),
                   state.Connection.DialUpName.c_str(), state.DialledByUs, context.window) != 0)
    return true;
  return context.boxes.show(context.window.owner(), "接続に失敗しました。このまま処理を続けますか？", "接続",
                            BoxKind::kQuestion) == BoxAnswer::kYes;
}

int fetch_step(CommandContext& context) {
  const int fetched = context.transfers.fetch_update_list(context.progress);
  if (fetched == 0) show_last_error(context.window);
  context.window.reset_progress();
  return fetched;
}

void disconnect_with_report(CommandContext& context) {
  const UpdateWindowState& state = context.state;
  if (disconnect_step(context.link, static_cast<std::int32_t>(state.Connection.ConnectType), state.DialledByUs,
                      context.window) == 0) {
    context.boxes.show(context.window.owner(), "切断に失敗しました。", "切断", BoxKind::kStop);
  }
}

std::int32_t compare_kept_list(CommandContext& context) {
  return compare_step(context.state.Table, context.state.List, update_list_text(), context.window);
}

const char* show_up_to_date(CommandContext& context) {
  const char* text = "アップデート可能なファイルはありません。\n現在最新の環境です。";
  context.boxes.show(context.window.owner(), text, "情報", BoxKind::kInformation);
  return text;
}

const char* show_list_fetch_failed(CommandContext& context) {
  const char* text = "アップデート情報の取得に失敗しました。";
  context.boxes.show(context.window.owner(), text, "取得", BoxKind::kStop);
  return text;
}

const char kElevationQuestion[] =
    "このフォルダにファイルを書き込む権限がありません。\n管理者として実行し直してアップデートしますか？";
const char kElevationDeclined[] = "ファイルを書き込めないため、アップデートを中止しました。";
const char kElevationNotStarted[] = "管理者として実行できなかったため、アップデートを中止しました。";
const char kFolderNotWritable[] = "このフォルダにファイルを書き込めないため、アップデートできません。";
const char kHandedOverNote[] = "管理者として実行したアップデートに引き継ぎました。";

namespace {
constexpr const char kCaption[] = "アップデート";
}  // namespace

bool working_folder_writable(const CommandContext& context) {
  if (context.rights == nullptr) return true;
  if (!context.rights->working_folder_writable()) return false;
  // Where new files may be created but a file to update may not be replaced, the update would
  // fail at that file's swap: the folder counts as unwritable.
  const ManagedFileTable& table = context.state.Table;
  for (int i = 0; i < table.RowCount; ++i) {
    if (table.UpdateFlags[i] != 0 && !context.rights->may_replace(table.FileRows[i].Name)) return false;
  }
  return true;
}

UnwritableFolderOutcome resolve_unwritable_folder(CommandContext& context) {
  FolderRights& rights = *context.rights;
  const NativeWindow owner = context.window.owner();
  auto stop = [&](const char* text, BoxKind kind) {
    context.boxes.show(owner, text, kCaption, kind);
    return UnwritableFolderOutcome{false, text};
  };
  // Administrator rights are asked for only to install what is authenticated: a release that
  // anybody on the way could have changed must not be written into a protected folder.
  if (rights.elevated() || !context.transfers.authenticated()) return stop(kFolderNotWritable, BoxKind::kStop);
  if (context.boxes.show(owner, kElevationQuestion, kCaption, BoxKind::kQuestion) != BoxAnswer::kYes)
    return stop(kElevationDeclined, BoxKind::kInformation);
  if (rights.start_elevated_update() == ElevatedStart::kStarted) return {true, kHandedOverNote};
  return stop(kElevationNotStarted, BoxKind::kStop);
}

void run_version_check(CommandContext& context) {
  CommandRecord record(context.log, kVersionCheckCommandName);
  set_command_state(context, false, false);
  if (connect_or_ask(context)) {
    if (fetch_step(context) == 0) {
      record.list_failed(last_error());
      disconnect_with_report(context);
      record.ended(show_list_fetch_failed(context));
    } else {
      record.list_fetched();
      context.state.ListFetched = 1;
      disconnect_with_report(context);
      const std::int32_t found = compare_kept_list(context);
      record.offered(context.state.Table, context.state.List);
      if (found == 0) {
        record.ended(show_up_to_date(context));
      } else {
        char text[256] = {};
        std::snprintf(text, sizeof text, "%d個のアップデート可能なファイルがあります。", static_cast<int>(found));
        context.boxes.show(context.window.owner(), text, "情報", BoxKind::kInformation);
        record.ended(text);
      }
    }
  } else {
    record.connection_declined(last_error());
  }
  set_command_state(context, true, true);
}

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
