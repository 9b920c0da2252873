#pragma once
// Small helpers over top-level windows: finding them by their marker property, placing one, and
// the DPI a window is shown at with the system's sizes for that DPI. The per-DPI functions of
// user32 exist from Windows 10 1607 on; on older systems both fall back to the system-wide
// values, which are then the only ones.
#include <windows.h>

#include <vector>

namespace tolvex {

// Every top-level window carrying the property `marker`, top-most first.
std::vector<HWND> find_marked_windows(const char* marker);

// Centres `window` over `reference`, or over the screen's work area when `reference` is null,
// keeping it on the screen.
void centre_window(HWND window, HWND reference);

// The DPI at which sizes in pixels are as designed (100 %).
constexpr UINT kDesignDpi = 96;

// GetDpiForWindow where user32 has it, else the logical pixels per inch of the window's device
// context; never 0.
UINT window_dpi(HWND window);

// GetSystemMetricsForDpi(`index`, `dpi`) where user32 has it, else GetSystemMetrics(`index`).
int system_metric_for_dpi(int index, UINT dpi);

}  // namespace tolvex
