#include "workflow/version_check_command.h"

#include <cstdio>

#include "workflow/command_record.h"
#include "workflow/command_steps.h"

namespace tolvex {

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

}  // namespace tolvex
