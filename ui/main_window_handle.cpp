#include "ui/main_window_handle.h"

namespace tolvex {
namespace {
HWND g_main_window = nullptr;  // process-wide, user-interface thread only
}

HWND main_window_handle() { return g_main_window; }

void set_main_window_handle(HWND window) { g_main_window = window; }

}  // namespace tolvex
