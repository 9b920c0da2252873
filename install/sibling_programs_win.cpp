#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <vector>

#include "install/sibling_programs.h"
#include "text/cp932.h"

namespace tolvex {

const SiblingProgram kSiblingPrograms[kSiblingCount] = {
    {"plo2.exe", "plo.exe"},     {"rasto2.exe", "rasto.exe"}, {"mepli2.exe", "mepli.exe"},
    {"gaft2.exe", "gaft.exe"},   {"orbe2.exe", "orbe.exe"},
};

namespace {

// Shows the wait cursor while it lives; the previous cursor comes back on every way out.
class WaitCursor {
 public:
  WaitCursor() : previous_(SetCursor(LoadCursorA(nullptr, IDC_WAIT))) {}
  ~WaitCursor() { SetCursor(previous_); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  HCURSOR previous_;
};

// The folder of the updater's own program file, without the final separator.
bool updater_folder(char (&folder)[1024]) {
  DWORD length = GetModuleFileNameA(nullptr, folder, sizeof folder);
  if (length == 0 || length >= sizeof folder) return false;
  const char* separator = find_last_path_separator(folder);
  if (separator == nullptr) return false;
  folder[separator - folder] = '\0';
  return true;
}

}  // namespace

void close_sibling_programs(std::int32_t (&was_running)[kSiblingCount], StatusSurface& status, Waiter& waiter) {
  WaitCursor cursor;
  // Every marked window is closed, however many there are.
  std::vector<HWND> found;
  for (int row = 0; row < kSiblingCount; ++row) {
    was_running[row] = 0;
    for (HWND window = GetWindow(GetDesktopWindow(), GW_CHILD); window != nullptr;
         window = GetWindow(window, GW_HWNDNEXT)) {
      if (GetPropA(window, kSiblingPrograms[row].marker) == nullptr) continue;
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
  char folder[1024] = {};
  const bool have_folder = updater_folder(folder);
  unsigned started = 0;
  for (int row = 0; row < kSiblingCount; ++row) {
    if (was_running[row] == 0) continue;
    char path[1024] = {};
    if (have_folder) {
      std::snprintf(path, sizeof path, "%s\\%s", folder, kSiblingPrograms[row].program);
    } else {
      copy_cp932_text(path, sizeof path, kSiblingPrograms[row].program);
    }
    ShellExecuteA(nullptr, "open", path, "", have_folder ? folder : nullptr, SW_SHOWNOACTIVATE);
    ++started;
  }
  if (started != 0) {
    status.show_status("しばらくお待ちください。");
    waiter.wait_ms(started * 1000);
  }
  status.show_status("");
}

}  // namespace tolvex
