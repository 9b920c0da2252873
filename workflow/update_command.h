#pragma once
// The update command (button 1002): connect if configured, fetch the update list unless this run
// already has one, compare, download one archive per newer file, disconnect, install.
#include "workflow/command_context.h"

namespace tolvex {

// Downloads the archive of every flagged row in table order with progress; stops at the first
// failure, showing its message. 1 when all were downloaded.
[[nodiscard]] int download_step(CommandContext& context);

void run_update(CommandContext& context);

}  // namespace tolvex
