#include "install/sibling_programs_win.h"

#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "win/process_win.h"
#include "win/window_helpers_win.h"

namespace tolvex {
namespace {

// The sibling's program file in the updater's folder; the bare name when that is unknown.
std::string sibling_path(int row, const std::string& folder) {
  return folder.empty() ? std::string(kSiblingPrograms[row].program) : folder + kSiblingPrograms[row].program;
}

}  // namespace

void SiblingProcessLauncher::keep_rights_of(int row, HWND window) {
  DWORD process_id = 0;
  if (GetWindowThreadProcessId(window, &process_id) == 0 || process_id == 0) return;
  OwnedHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process_id));
  if (!process.valid()) return;
  HANDLE raw = nullptr;
  if (!OpenProcessToken(process.get(), TOKEN_DUPLICATE | TOKEN_QUERY | TOKEN_ASSIGN_PRIMARY, &raw)) return;
  OwnedHandle token(raw);
  OwnedHandle& kept = tokens_[row];
  // The first one found, unless a later one runs without the rights the kept one has.
  if (kept.valid() && (!token_elevated(kept.get()) || token_elevated(token.get()))) return;
  kept.reset(token.release());
}

bool SiblingProcessLauncher::elevated() { return process_elevated(); }

bool SiblingProcessLauncher::start_with_kept_rights(int row) {
  if (!tokens_[row].valid()) return false;
  const std::string folder = program_folder();
  return start_with_token(tokens_[row].get(), sibling_path(row, folder).c_str(), folder);
}

bool SiblingProcessLauncher::start_with_own_rights(int row) {
  const std::string folder = program_folder();
  const std::string path = sibling_path(row, folder);
  const HINSTANCE result =
      ShellExecuteA(nullptr, "open", path.c_str(), "", folder.empty() ? nullptr : folder.c_str(), SW_SHOWNOACTIVATE);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

void close_sibling_programs(std::int32_t (&was_running)[kSiblingCount], SiblingProcessLauncher& launcher,
                            StatusSurface& status, Waiter& waiter) {
  WaitCursor cursor;
  // Every marked window is closed, however many there are.
  std::vector<HWND> found;
  for (int row = 0; row < kSiblingCount; ++row) {
    was_running[row] = 0;
    for (HWND window : find_marked_windows(kSiblingPrograms[row].marker)) {
      if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
      launcher.keep_rights_of(row, window);
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

}  // namespace tolvex
