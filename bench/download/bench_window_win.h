#pragma once
// A plain top-level window with the main window's status line (1007) and progress bar (1008),
// shown and registered as the main window so that the program's progress callback draws into it.
#include <windows.h>

namespace tolvex::bench {

class BenchWindow {
 public:
  BenchWindow();
  ~BenchWindow();
  BenchWindow(const BenchWindow&) = delete;
  BenchWindow& operator=(const BenchWindow&) = delete;

  bool ok() const { return window_ != nullptr; }
  // The status line's current text.
  void status_text(char* buffer, int size) const;
  // The progress bar's current position.
  int progress_position() const;

 private:
  HWND window_ = nullptr;
};

}  // namespace tolvex::bench
