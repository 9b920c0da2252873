#include "ui/about_dialog.h"

#include "resources/resource_ids.h"

namespace tolvex {

void centre_window(HWND window, HWND reference) {
  RECT area = {};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  RECT around = area;
  if (reference != nullptr && !IsIconic(reference)) GetWindowRect(reference, &around);
  RECT own = {};
  GetWindowRect(window, &own);
  const int width = own.right - own.left;
  const int height = own.bottom - own.top;
  int x = around.left + ((around.right - around.left) - width) / 2;
  int y = around.top + ((around.bottom - around.top) - height) / 2;
  if (x + width > area.right) x = area.right - width;
  if (y + height > area.bottom) y = area.bottom - height;
  if (x < area.left) x = area.left;
  if (y < area.top) y = area.top;
  SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

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
