#pragma once
// The DPI a window is shown at and the system's sizes for that DPI. The per-DPI functions of
// user32 exist from Windows 10 1607 on; on older systems both fall back to the system-wide
// values, which are then the only ones.
#include <windows.h>

namespace tolvex {

// The DPI at which sizes in pixels are as designed (100 %).
constexpr UINT kDesignDpi = 96;

// GetDpiForWindow where user32 has it, else the logical pixels per inch of the window's device
// context; never 0.
UINT window_dpi(HWND window);

// GetSystemMetricsForDpi(`index`, `dpi`) where user32 has it, else GetSystemMetrics(`index`).
int system_metric_for_dpi(int index, UINT dpi);

}  // namespace tolvex
