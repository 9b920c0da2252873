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

}  // namespace tolvex
