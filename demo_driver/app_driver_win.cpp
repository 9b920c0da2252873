#include "demo_driver/app_driver_win.h"

#include <commctrl.h>

#include <vector>

namespace tolvex::testing {

ChildProcess::ChildProcess(const std::string& program, const std::string& working_directory,
                           const std::string& arguments) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  std::string text = "\"" + program + "\"";
  if (!arguments.empty()) text += " " + arguments;
  std::vector<char> command_line(text.begin(), text.end());
  command_line.push_back('\0');
  if (CreateProcessA(program.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                     working_directory.c_str(), &startup, &info)) {
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    id_ = info.dwProcessId;
  }
}

ChildProcess::~ChildProcess() {
  if (process_ == nullptr) return;
  if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
    TerminateProcess(process_, 1);
    WaitForSingleObject(process_, 5000);
  }
  CloseHandle(process_);
}

bool ChildProcess::wait_for_exit(DWORD milliseconds) {
  return process_ != nullptr && WaitForSingleObject(process_, milliseconds) == WAIT_OBJECT_0;
}

bool ChildProcess::can_open(const char* file) {
  HANDLE handle = CreateFileA(file, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  CloseHandle(handle);
  return true;
}

namespace {

DWORD owner_process(HWND window) {
  DWORD process_id = 0;
  GetWindowThreadProcessId(window, &process_id);
  return process_id;
}

}  // namespace

HWND wait_for_marked_window(DWORD process_id, const char* marker, DWORD milliseconds) {
  HWND result = nullptr;
  wait_until(
      [&] {
        for (HWND window : find_marked_windows(marker)) {
          // The marker is set before the window is first shown; a test that acts on the
          // window before then would race the program's own ShowWindow.
          if (owner_process(window) == process_id && IsWindowVisible(window)) {
            result = window;
            return true;
          }
        }
        return false;
      },
      milliseconds);
  return result;
}

HWND wait_for_window_with_caption(DWORD process_id, const std::string& caption, DWORD milliseconds) {
  HWND result = nullptr;
  wait_until(
      [&] {
        for (HWND window = GetWindow(GetDesktopWindow(), GW_CHILD); window != nullptr;
             window = GetWindow(window, GW_HWNDNEXT)) {
          if (owner_process(window) == process_id && IsWindowVisible(window) && window_text(window) == caption) {
            result = window;
            return true;
          }
        }
        return false;
      },
      milliseconds);
  return result;
}

std::string window_text(HWND window) {
  char text[1024] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

std::string control_text(HWND dialog, int id) { return window_text(GetDlgItem(dialog, id)); }

int list_item_count(HWND list) { return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }

// LVM_GETITEMTEXTA carries pointers, so the item record and the text buffer must live in the
// list view's own process.
std::string list_item_text(HWND list, int item, int column) {
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, owner_process(list));
  if (process == nullptr) return "<no access>";
  constexpr SIZE_T kTextSize = 512;
  char* remote =
      static_cast<char*>(VirtualAllocEx(process, nullptr, sizeof(LVITEMA) + kTextSize, MEM_COMMIT, PAGE_READWRITE));
  std::string text;
  if (remote != nullptr) {
    LVITEMA record = {};
    record.iSubItem = column;
    record.pszText = remote + sizeof(LVITEMA);
    record.cchTextMax = kTextSize;
    WriteProcessMemory(process, remote, &record, sizeof record, nullptr);
    LRESULT length = SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(remote));
    std::vector<char> buffer(kTextSize + 1, '\0');
    ReadProcessMemory(process, remote + sizeof(LVITEMA), buffer.data(), kTextSize, nullptr);
    text.assign(buffer.data(), static_cast<size_t>(length) < kTextSize ? static_cast<size_t>(length) : kTextSize);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  return text;
}

void click_button(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

std::string message_box_text(HWND box) {
  std::string longest;
  for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    char class_name[64] = {};
    GetClassNameA(child, class_name, sizeof class_name);
    if (lstrcmpiA(class_name, "Static") != 0) continue;
    std::string text = window_text(child);
    if (text.size() > longest.size()) longest = text;
  }
  return longest;
}

}  // namespace tolvex::testing
