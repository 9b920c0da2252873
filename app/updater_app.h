#pragma once
// The application object: one copy per logged-on user, and the main window run modally for the
// program's whole life.
#include <windows.h>

namespace tolvex {

class UpdaterApp {
 public:
  // `update_at_once`: started by a copy that hands the update over (see main_win.cpp).
  UpdaterApp(HINSTANCE instance, bool update_at_once) : instance_(instance), update_at_once_(update_at_once) {}

  // Runs the whole program: hands over to a running copy, or runs the main window. Always false.
  // A copy that takes an update over first waits for the copy that started it to end.
  bool start_up();

 private:
  HINSTANCE instance_;
  bool update_at_once_;
};

// The top-most top-level window carrying the updater's marker, or null.
HWND find_running_instance();

}  // namespace tolvex
