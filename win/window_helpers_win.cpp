#include "win/window_helpers_win.h"

#include "win/scoped_win.h"

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
namespace {

// An export of user32 (always loaded in a program with windows), or null when this Windows
// lacks it. Looked up on each call: the callers run rarely (opening, a DPI change).
template <typename Function>
Function user32_export(const char* name) {
  HMODULE user32 = GetModuleHandleA("user32.dll");
  if (user32 == nullptr) return nullptr;
  // Through a plain pointer: the export's real type is known only to the caller.
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
}

}  // namespace

UINT window_dpi(HWND window) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  const auto get_dpi_for_window = user32_export<GetDpiForWindowFn>("GetDpiForWindow");
  if (get_dpi_for_window != nullptr) {
    const UINT dpi = get_dpi_for_window(window);
    if (dpi != 0) return dpi;
  }
  WindowDc dc(window);
  const int dpi = dc.get() != nullptr ? GetDeviceCaps(dc.get(), LOGPIXELSX) : 0;
  return dpi > 0 ? static_cast<UINT>(dpi) : kDesignDpi;
}

int system_metric_for_dpi(int index, UINT dpi) {
  using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
  const auto get_metric_for_dpi = user32_export<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
  return get_metric_for_dpi != nullptr ? get_metric_for_dpi(index, dpi) : GetSystemMetrics(index);
}

}  // namespace tolvex
