#include "ui/about_dialog.h"

#include "resources/resource_ids.h"
#include "win/window_helpers_win.h"

namespace tolvex {

INT_PTR AboutDialog::run_modal() {
  return DialogBoxParamA(instance_, MAKEINTRESOURCEA(IDD_ABOUT), owner_, dialog_proc, reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK AboutDialog::dialog_proc(HWND window, UINT message, WPARAM wparam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      centre_window(window, GetWindow(window, GW_OWNER));
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) {
        EndDialog(window, LOWORD(wparam));
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace tolvex
