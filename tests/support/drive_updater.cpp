// Drives the running updater from outside, for the demo on a display-less machine:
//   tolvex_drive press ID      click button ID of the main window
//   tolvex_drive wait-box      wait for a message box of the updater; print caption and text
//   tolvex_drive answer ID     click button ID (1 = OK) of that message box
//   tolvex_drive status        print the main window's status line
//   tolvex_drive close         press button 2 and wait until the updater has ended
// Exit code 0 when done, 1 when the window or box did not appear in time.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/app_driver.h"

namespace {

using namespace tolvex::testing;

HWND updater_window() {
  HWND found = nullptr;
  wait_until(
      [&] {
        auto windows = tolvex::find_marked_windows("tolvex2.exe");
        if (!windows.empty()) found = windows.front();
        return found != nullptr;
      },
      30000);
  return found;
}

// A visible dialog-class window of the updater's process other than its main window.
HWND message_box(HWND main_window, DWORD timeout) {
  DWORD process_id = 0;
  GetWindowThreadProcessId(main_window, &process_id);
  HWND found = nullptr;
  wait_until(
      [&] {
        for (HWND window = GetWindow(GetDesktopWindow(), GW_CHILD); window != nullptr;
             window = GetWindow(window, GW_HWNDNEXT)) {
          DWORD owner = 0;
          GetWindowThreadProcessId(window, &owner);
          char class_name[32] = {};
          GetClassNameA(window, class_name, sizeof class_name);
          if (owner == process_id && window != main_window && IsWindowVisible(window) &&
              std::string(class_name) == "#32770") {
            found = window;
            return true;
          }
        }
        return false;
      },
      timeout);
  return found;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: tolvex_drive press ID | wait-box | answer ID | status | close\n");
    return 2;
  }
  const std::string command = argv[1];
  HWND window = updater_window();
  if (window == nullptr) {
    std::fprintf(stderr, "tolvex_drive: the updater window did not appear\n");
    return 1;
  }
  if (command == "press" && argc > 2) {
    click_button(window, std::atoi(argv[2]));
    return 0;
  }
  if (command == "wait-box" || command == "answer") {
    HWND box = message_box(window, 120000);
    if (box == nullptr) {
      std::fprintf(stderr, "tolvex_drive: no message box appeared\n");
      return 1;
    }
    if (command == "wait-box") {
      std::printf("[%s] %s\n", window_text(box).c_str(), message_box_text(box).c_str());
      return 0;
    }
    click_button(box, argc > 2 ? std::atoi(argv[2]) : IDOK);
    wait_until([&] { return !IsWindow(box); }, 10000);
    return 0;
  }
  if (command == "status") {
    std::printf("%s\n", control_text(window, 1007).c_str());
    return 0;
  }
  if (command == "close") {
    DWORD process_id = 0;
    GetWindowThreadProcessId(window, &process_id);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, process_id);
    click_button(window, IDCANCEL);
    if (process != nullptr) {
      WaitForSingleObject(process, 10000);
      CloseHandle(process);
    }
    return 0;
  }
  std::fprintf(stderr, "tolvex_drive: unknown command %s\n", command.c_str());
  return 2;
}
