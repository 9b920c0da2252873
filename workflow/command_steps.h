#pragma once
// Steps shared by the version-check and update commands.
#include <cstdint>

#include "workflow/command_context.h"

namespace tolvex {

extern const char kExitLabel[];   // "終了"
extern const char kAbortLabel[];  // "中断"

// Clears AbortRequested, enables or disables the buttons and labels button 2: "終了" when the
// commands are enabled and nothing downloads, "中断" otherwise.
void set_command_state(CommandContext& context, bool enable_commands, bool enable_cancel);

// Dials when configured; on failure asks whether to go on anyway. True: go on.
[[nodiscard]] bool connect_or_ask(CommandContext& context);

// Fetches the update list with progress. On failure shows the error's message in the status
// line. The progress bar is reset either way. 1 on success, 0 on failure.
[[nodiscard]] int fetch_step(CommandContext& context);

// Hangs up what this command dialled; a failure is reported with a stop box and the command
// goes on.
void disconnect_with_report(CommandContext& context);

// Compares the kept update list text with the managed files; the number of newer files.
std::int32_t compare_kept_list(CommandContext& context);

// The box saying that nothing can be updated; returns its text.
const char* show_up_to_date(CommandContext& context);

// The stop box saying that the update information could not be obtained; returns its text.
const char* show_list_fetch_failed(CommandContext& context);

}  // namespace tolvex
