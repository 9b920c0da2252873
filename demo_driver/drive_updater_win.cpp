// Drives the running updater from outside, for the demo on a display-less machine:
//   tolvex_drive press BUTTON   click a button of the main window: check (ﾊﾞｰｼﾞｮﾝﾁｪｯｸ), update
//                               (ｱｯﾌﾟﾃﾞｰﾄ), cancel, or a control id
//   tolvex_drive wait-box       wait for a message box of the updater; print caption and text
//   tolvex_drive answer BUTTON  click a button of that message box: ok (the default), cancel,
//                               yes, no, or a control id
//   tolvex_drive status         print the main window's status line
//   tolvex_drive close          press the cancel button and wait until the updater has ended
// Exit code 0 when done, 1 when the window or box did not appear in time, 2 on a bad command.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "demo_driver/app_driver_win.h"
#include "resources/resource_ids.h"

namespace {

using namespace tolvex::testing;

// The control id of a button named on the command line; 0 for an unknown name.
int button_id(const std::string& name) {
  const struct {
    const char* name;
    int id;
  } buttons[] = {{"check", IDC_CHECK_BUTTON},
                 {"update", IDC_UPDATE_BUTTON},
                 {"ok", IDOK},
                 {"cancel", IDCANCEL},
                 {"yes", IDYES},
                 {"no", IDNO}};
  for (const auto& button : buttons) {
    if (name == button.name) return button.id;
  }
  return std::atoi(name.c_str());
}

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
    std::fprintf(stderr, "usage: tolvex_drive press BUTTON | wait-box | answer [BUTTON] | status | close\n");
    return 2;
  }
  const std::string command = argv[1];
  HWND window = updater_window();
  if (window == nullptr) {
    std::fprintf(stderr, "tolvex_drive: the updater window did not appear\n");
    return 1;
  }
  if (command == "press" && argc > 2) {
    const int id = button_id(argv[2]);
    if (id == 0) {
      std::fprintf(stderr, "tolvex_drive: unknown button %s\n", argv[2]);
      return 2;
    }
    click_button(window, id);
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
    click_button(box, argc > 2 ? button_id(argv[2]) : IDOK);
    wait_until([&] { return !IsWindow(box); }, 10000);
    return 0;
  }
  if (command == "status") {
    std::printf("%s\n", control_text(window, IDC_STATUS_LINE).c_str());
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
