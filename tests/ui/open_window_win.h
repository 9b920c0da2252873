#pragma once
// Opens the real main window modally in the test's own process and runs an inspection on it
// from inside its message loop (a thread timer fires once the window is open), then closes it.
// Opening the window creates the dial-up options key volatile, with any missing parent keys; the
// vendor key is removed afterwards so later tests can create lasting keys below it.
#include <windows.h>
#include <gtest/gtest.h>

#include <functional>

#include "ui/update_dialog_win.h"

namespace tolvex::testing {

inline std::function<void(HWND)>& pending_inspection() {
  static std::function<void(HWND)> inspection;
  return inspection;
}

inline void CALLBACK inspect_then_close(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND window = main_window_handle();
  if (window == nullptr) return;  // not open yet
  KillTimer(nullptr, timer);
  // Nothing may be thrown out of a timer procedure: the 32-bit runtime cannot unwind through the
  // system's frames and would end the whole test program.
  try {
    pending_inspection()(window);
  } catch (...) {
    ADD_FAILURE() << "the inspection of the open window threw";
  }
  PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
}

inline void with_open_window(std::function<void(HWND)> inspection) {
  pending_inspection() = std::move(inspection);
  set_main_window_handle(nullptr);
  SetTimer(nullptr, 0, 50, inspect_then_close);
  {
    UpdateDialog dialog(GetModuleHandleA(nullptr), wininet_transfers());
    dialog.run_modal();
  }
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Halvorn");
}

}  // namespace tolvex::testing
