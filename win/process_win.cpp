#include "win/process_win.h"

#include <vector>

#include "text/cp932.h"
#include "win/scoped_win.h"

namespace tolvex {
namespace {

std::wstring wide(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  if (length <= 0) return std::wstring();
  std::vector<wchar_t> buffer(static_cast<std::size_t>(length));
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, buffer.data(), length);
  return buffer.data();
}

class SleepingWaiter : public Waiter {
 public:
  void wait_ms(unsigned milliseconds) override { Sleep(milliseconds); }
};

}  // namespace

std::string program_file_path() {
  char path[1024] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  if (length == 0 || length >= sizeof path) return std::string();
  return std::string(path, length);
}

std::string program_folder() { return folder_of_path(program_file_path().c_str()); }

bool working_in_program_folder() {
  wchar_t current[MAX_PATH + 1] = {};
  const DWORD current_length = GetCurrentDirectoryW(MAX_PATH, current);
  const std::wstring program = wide(program_folder());
  if (current_length == 0 || current_length >= MAX_PATH || program.empty()) return false;
  // Both as long names with one final separator.
  auto normal = [](std::wstring folder) {
    wchar_t long_name[MAX_PATH + 1] = {};
    const DWORD length = GetLongPathNameW(folder.c_str(), long_name, MAX_PATH);
    if (length != 0 && length < MAX_PATH) folder = long_name;
    if (folder.empty() || folder.back() != L'\\') folder += L'\\';
    return folder;
  };
  const std::wstring a = normal(current), b = normal(program);
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

bool token_elevated(HANDLE token) {
  TOKEN_ELEVATION elevation = {};
  DWORD size = 0;
  return GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) &&
         elevation.TokenIsElevated != 0;
}

bool process_elevated() {
  HANDLE raw = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return false;
  OwnedHandle token(raw);
  return token_elevated(token.get());
}

bool start_with_token(HANDLE token, const char* path, const std::string& folder) {
  HANDLE duplicated = nullptr;
  if (!DuplicateTokenEx(
          token, TOKEN_ASSIGN_PRIMARY | TOKEN_DUPLICATE | TOKEN_QUERY | TOKEN_ADJUST_DEFAULT | TOKEN_ADJUST_SESSIONID,
          nullptr, SecurityImpersonation, TokenPrimary, &duplicated))
    return false;
  OwnedHandle primary(duplicated);

  const std::wstring program = wide(path);
  std::wstring command_line = L"\"" + program + L"\"";  // CreateProcessWithTokenW may write into it
  const std::wstring directory = wide(folder);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNOACTIVATE;
  PROCESS_INFORMATION started = {};
  if (!CreateProcessWithTokenW(primary.get(), 0, program.c_str(), &command_line[0], 0, nullptr,
                               directory.empty() ? nullptr : directory.c_str(), &startup, &started))
    return false;
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  return true;
}

void limit_library_search() {
  using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  auto set_default = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
      reinterpret_cast<void*>(kernel != nullptr ? GetProcAddress(kernel, "SetDefaultDllDirectories") : nullptr));
  if (set_default == nullptr || !set_default(LOAD_LIBRARY_SEARCH_SYSTEM32)) SetDllDirectoryA("");
}

Waiter& system_waiter() {
  static SleepingWaiter waiter;
  return waiter;
}

}  // namespace tolvex
