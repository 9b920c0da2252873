#include "workflow/command_steps.h"

#include "base/errors.h"
#include "catalogue/update_list.h"
#include "net/dial_up_link.h"

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

}  // namespace tolvex
