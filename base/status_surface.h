#pragma once
// The main window's status line and progress bar, as the connection and workflow steps use them.

namespace tolvex {

class StatusSurface {
 public:
  virtual ~StatusSurface() = default;
  // Replaces the whole text of the status line (an empty text clears it).
  virtual void show_status(const char* text) = 0;
  // Puts the progress bar back to 0.
  virtual void reset_progress() = 0;
};

// Shows the message of LastError in the status line.
void show_last_error(StatusSurface& status);

}  // namespace tolvex
