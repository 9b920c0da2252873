#pragma once
// The about box (dialog 100): no state of its own; its only button closes it.
#include <windows.h>

namespace tolvex {

class AboutDialog {
 public:
  AboutDialog(HINSTANCE instance, HWND owner) : instance_(instance), owner_(owner) {}
  // Shows the box modally over the owner, centred on it.
  INT_PTR run_modal();

 private:
  static INT_PTR CALLBACK dialog_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

  HINSTANCE instance_;
  HWND owner_;
};

// Centres `window` over `reference`, or over the screen's work area when `reference` is null,
// keeping it on the screen.
void centre_window(HWND window, HWND reference);

}  // namespace tolvex
