#pragma once
// Small helpers over top-level windows: finding them by their marker property, and placing one.
#include <windows.h>

#include <vector>

namespace tolvex {

// Every top-level window carrying the property `marker`, top-most first.
std::vector<HWND> find_marked_windows(const char* marker);

// Centres `window` over `reference`, or over the screen's work area when `reference` is null,
// keeping it on the screen.
void centre_window(HWND window, HWND reference);

}  // namespace tolvex
