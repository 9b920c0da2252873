#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "install/sibling_programs.h"
#include "text/cp932.h"
#include "win/process_win.h"
#include "win/scoped_win.h"
#include "win/window_helpers_win.h"

namespace tolvex {

void close_sibling_programs(std::int32_t (&was_running)[kSiblingCount], StatusSurface& status, Waiter& waiter) {
  WaitCursor cursor;
  // Every marked window is closed, however many there are.
  std::vector<HWND> found;
  for (int row = 0; row < kSiblingCount; ++row) {
    was_running[row] = 0;
    for (HWND window : find_marked_windows(kSiblingPrograms[row].marker)) {
      if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
      found.push_back(window);
      char text[256] = {};
      std::snprintf(text, sizeof text, "%sの終了", kSiblingPrograms[row].marker);
      status.show_status(text);
      was_running[row] = 1;
    }
  }
  for (HWND window : found) PostMessageA(window, WM_CLOSE, 0, 0);
  if (!found.empty()) {
    status.show_status("しばらくお待ちください。");
    waiter.wait_ms(5000);
  }
  status.show_status("");
}

void restart_sibling_programs(const std::int32_t (&was_running)[kSiblingCount], StatusSurface& status, Waiter& waiter) {
  const std::string folder = program_folder();
  const bool have_folder = !folder.empty();
  unsigned started = 0;
  for (int row = 0; row < kSiblingCount; ++row) {
    if (was_running[row] == 0) continue;
    char path[1024] = {};
    if (have_folder) {
      std::snprintf(path, sizeof path, "%s%s", folder.c_str(), kSiblingPrograms[row].program);
    } else {
      copy_cp932_text(path, sizeof path, kSiblingPrograms[row].program);
    }
    // A copy with administrator rights (one that took over an update) starts them with the
    // desktop shell's ordinary rights, as the user had them; any other copy as before.
    if (!start_with_shell_rights(path, folder))
      ShellExecuteA(nullptr, "open", path, "", have_folder ? folder.c_str() : nullptr, SW_SHOWNOACTIVATE);
    ++started;
  }
  if (started != 0) {
    status.show_status("しばらくお待ちください。");
    waiter.wait_ms(started * 1000);
  }
  status.show_status("");
}

}  // namespace tolvex
