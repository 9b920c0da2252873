#pragma once
// Drives a running tolvex.exe from outside its process, as a user (or the desktop) would:
// starts it in a folder, finds its marked window, reads its controls, presses its buttons.
#include <windows.h>

#include <string>
#include <vector>

#include "win/window_helpers_win.h"

namespace tolvex::testing {

// A started process, terminated if it is still running when the owner goes away.
class ChildProcess {
 public:
  ChildProcess(const std::string& program, const std::string& working_directory, const std::string& arguments = "");
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool started() const { return process_ != nullptr; }
  DWORD id() const { return id_; }
  HANDLE handle() const { return process_; }
  // Waits for the process to end; true when it ended within `milliseconds`.
  bool wait_for_exit(DWORD milliseconds);
  // True when `file` can be opened for reading now (nobody holds it exclusively).
  static bool can_open(const char* file);

 private:
  HANDLE process_ = nullptr;
  DWORD id_ = 0;
};

// Polls `condition` every 20 ms until it holds or `milliseconds` pass.
template <typename Condition>
bool wait_until(Condition condition, DWORD milliseconds) {
  const ULONGLONG deadline = GetTickCount64() + milliseconds;
  do {
    if (condition()) return true;
    Sleep(20);
  } while (GetTickCount64() < deadline);
  return condition();
}

// Polls `condition` until it has held without a break for `steady` ms, or `milliseconds` pass.
// Under Wine without a window manager, X events of an earlier show or focus change may arrive
// late and undo a later state: a test sets up minimised or foreground windows with this.
template <typename Condition>
bool wait_until_steady(Condition condition, DWORD steady, DWORD milliseconds) {
  const ULONGLONG deadline = GetTickCount64() + milliseconds;
  ULONGLONG held_since = 0;
  do {
    const ULONGLONG now = GetTickCount64();
    if (!condition()) {
      held_since = 0;
    } else if (held_since == 0) {
      held_since = now;
    } else if (now - held_since >= steady) {
      return true;
    }
    Sleep(20);
  } while (GetTickCount64() < deadline);
  return false;
}

// Makes `window` the foreground window, again whenever something takes that away, until it has
// stayed so for `steady` ms (at most 20 s).
inline bool hold_foreground(HWND window, DWORD steady) {
  return wait_until_steady(
      [&] {
        if (GetForegroundWindow() != window) SetForegroundWindow(window);
        return GetForegroundWindow() == window;
      },
      steady, 20000);
}

// Minimises `window`, again whenever a late event restores it, until it has stayed so for a
// second (at most 20 s).
inline bool hold_minimised(HWND window) {
  return wait_until_steady(
      [&] {
        if (!IsIconic(window)) ShowWindow(window, SW_MINIMIZE);
        return IsIconic(window) != FALSE;
      },
      1000, 20000);
}

// Top-level windows in Z-order carrying property `marker` (non-zero), of any process.
using tolvex::find_marked_windows;
// The first visible top-level window of process `process_id` carrying `marker`, waiting up to `ms`.
HWND wait_for_marked_window(DWORD process_id, const char* marker, DWORD milliseconds);
// A visible top-level window of process `process_id` with caption `caption`, waiting up to `ms`.
HWND wait_for_window_with_caption(DWORD process_id, const std::string& caption, DWORD milliseconds);

std::string window_text(HWND window);
std::string control_text(HWND dialog, int id);

// Reads the texts of another process's list view.
int list_item_count(HWND list);
std::string list_item_text(HWND list, int item, int column);

// Presses a button of a dialog the way a click does (BN_CLICKED to its parent).
void click_button(HWND dialog, int id);

// The message text of a message box: the text of its longest static control.
std::string message_box_text(HWND box);

}  // namespace tolvex::testing
