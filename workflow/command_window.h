#pragma once
// Everything a command does to the main window: its list, status line and progress bar, its
// three buttons, and the owner of the message boxes.
#include "base/window_surfaces.h"
#include "catalogue/managed_file_table.h"

namespace tolvex {

class CommandWindow : public CatalogueView {
 public:
  // Enables or disables buttons 1000 and 1002 together, and button 2, and labels button 2.
  virtual void set_buttons(bool enable_commands, bool enable_cancel, const char* cancel_label) = 0;
  // The window that owns message boxes (may be null in tests).
  virtual NativeWindow owner() const = 0;
};

}  // namespace tolvex
