#pragma once
// The process-wide handle of the main window, stored when the window opens and never cleared.
#include <windows.h>

namespace tolvex {

HWND main_window_handle();
void set_main_window_handle(HWND window);

}  // namespace tolvex
