#pragma once
// The application object: one copy per logged-on user, and the main window run modally for the
// program's whole life.
#include <windows.h>

namespace tolvex {

class UpdaterApp {
 public:
  explicit UpdaterApp(HINSTANCE instance) : instance_(instance) {}

  // Runs the whole program: hands over to a running copy, or runs the main window. Always false.
  bool start_up();

 private:
  HINSTANCE instance_;
};

// The top-most top-level window carrying the updater's marker, or null.
HWND find_running_instance();

}  // namespace tolvex
