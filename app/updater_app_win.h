#pragma once
// The application object: one copy per logged-on user, the public keys the build carries, and
// the main window run modally for the program's whole life.
#include <windows.h>

#include <vector>

#include "trust/text_forms.h"

namespace tolvex {

class UpdaterApp {
 public:
  // `update_at_once`: started by a copy that hands the update over (see WinMain).
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

// The public keys a build carries (resource IDR_UPDATE_PUBLIC_KEYS, one key per line), which
// make the updater demand signed releases.
struct EmbeddedKeys {
  bool present = false;                // the build carries the key resource
  std::vector<trust::PublicKey> keys;  // empty when the resource is present but unreadable
};

// A resource that is present but does not read as keys leaves no key, so that every release is
// refused rather than accepted unchecked.
EmbeddedKeys embedded_update_keys(HINSTANCE instance);

}  // namespace tolvex
