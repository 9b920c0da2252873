#pragma once
// The installation step of the update command: close the sibling programs, extract and swap in
// every flagged file, refresh the list, start the sibling programs again.
#include "app/waiter.h"
#include "workflow/command_window.h"
#include "workflow/window_state.h"

namespace tolvex {

// Returns 1 when every flagged file was replaced (the updater's own file, which is only staged
// as "tolvex.___", always counts as replaced), 0 when at least one failed.
int install_updates(UpdateWindowState& state, CommandWindow& window, Waiter& waiter);

// Puts back, at start-up, any managed file that an interrupted swap left only under its backup
// name.
void recover_interrupted_swaps();

}  // namespace tolvex
