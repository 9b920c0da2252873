#include "win/window_helpers.h"

namespace tolvex {

std::vector<HWND> find_marked_windows(const char* marker) {
  std::vector<HWND> found;
  for (HWND window = GetWindow(GetDesktopWindow(), GW_CHILD); window != nullptr;
       window = GetWindow(window, GW_HWNDNEXT)) {
    if (GetPropA(window, marker) != nullptr) found.push_back(window);
  }
  return found;
}

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

}  // namespace tolvex
