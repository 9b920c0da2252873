#pragma once
// The version-check command (button 1000): connect if configured, fetch the update list,
// disconnect, compare, and report how many files can be updated.
#include "workflow/command_context.h"

namespace tolvex {

void run_version_check(CommandContext& context);

}  // namespace tolvex
