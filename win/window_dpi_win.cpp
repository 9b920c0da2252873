#include "win/window_dpi_win.h"

#include "win/scoped_win.h"

namespace tolvex {
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
