#pragma once
// The main window's display surfaces over its controls: the file list (1004), the status line
// (1007), the progress bar (1008) and the three buttons.
#include <windows.h>

#include "workflow/command_context.h"

namespace tolvex {

class MainWindowSurface : public CommandWindow {
 public:
  explicit MainWindowSurface(HWND dialog) : dialog_(dialog) {}

  void clear_rows() override;
  void insert_row(int index, const char* name, const char* version) override;
  void set_latest_version(int index, const char* version) override;
  void show_status(const char* text) override;
  void reset_progress() override;
  void set_buttons(bool enable_commands, bool enable_cancel, const char* cancel_label) override;
  NativeWindow owner() const override { return dialog_; }

 private:
  HWND list() const;
  void set_cell(int index, int column, const char* text);

  HWND dialog_;
};

}  // namespace tolvex
