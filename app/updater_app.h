#pragma once
// The application object: one copy per logged-on user, the registry root of the settings, and
// the main window run modally for the program's whole life.
#include <windows.h>

namespace tolvex {

// Name of the single-instance mutex (the same text as the main window's marker).
extern const char kInstanceMutexName[];  // "tolvex2.exe"

class UpdaterApp {
 public:
  explicit UpdaterApp(HINSTANCE instance) : instance_(instance) {}

  // Runs the whole program: hands over to a running copy, or runs the main window. Always false.
  bool start_up();

  const char* registry_root() const { return registry_root_; }

 private:
  HINSTANCE instance_;
  const char* registry_root_ = nullptr;
};

// The top-most top-level window carrying the updater's marker, or null.
HWND find_running_instance();

}  // namespace tolvex
