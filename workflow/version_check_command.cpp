#include "workflow/version_check_command.h"

#include <cstdio>

#include "workflow/command_steps.h"

namespace tolvex {

void run_version_check(CommandContext& context) {
  set_command_state(context, false, false);
  if (connect_or_ask(context)) {
    if (fetch_step(context) == 0) {
      disconnect_with_report(context);
      show_list_fetch_failed(context);
    } else {
      context.state.ListFetched = 1;
      disconnect_with_report(context);
      const std::int32_t found = compare_kept_list(context);
      if (found == 0) {
        show_up_to_date(context);
      } else {
        char text[256] = {};
        std::snprintf(text, sizeof text, "%d個のアップデート可能なファイルがあります。", static_cast<int>(found));
        context.boxes.show(context.window.owner(), text, "情報", BoxKind::kInformation);
      }
    }
  }
  set_command_state(context, true, true);
}

}  // namespace tolvex
