#pragma once
// What the two commands work with: the window's state and surfaces, the dial-up link, the
// progress callback handed to transfers, the message boxes and the waits around the sibling
// programs.
#include "app/waiter.h"
#include "net/dial_up_link.h"
#include "net/progress_callback.h"
#include "workflow/command_window.h"
#include "workflow/message_boxes.h"
#include "workflow/window_state.h"

namespace tolvex {

struct CommandContext {
  UpdateWindowState& state;
  CommandWindow& window;
  DialUpLink& link;
  ProgressCallback progress;
  MessageBoxes& boxes;
  Waiter& waiter;
};

}  // namespace tolvex
