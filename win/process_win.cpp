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

bool start_with_shell_rights(const char* path, const std::string& folder) {
  if (!process_elevated()) return false;
  HWND shell = GetShellWindow();
  DWORD shell_process_id = 0;
  if (shell == nullptr || GetWindowThreadProcessId(shell, &shell_process_id) == 0 || shell_process_id == 0)
    return false;
  OwnedHandle shell_process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, shell_process_id));
  if (!shell_process.valid()) return false;
  HANDLE raw = nullptr;
  if (!OpenProcessToken(shell_process.get(), TOKEN_DUPLICATE | TOKEN_QUERY, &raw)) return false;
  OwnedHandle shell_token(raw);
  if (token_elevated(shell_token.get())) return false;  // nothing to give up
  HANDLE duplicated = nullptr;
  if (!DuplicateTokenEx(
          shell_token.get(),
          TOKEN_ASSIGN_PRIMARY | TOKEN_DUPLICATE | TOKEN_QUERY | TOKEN_ADJUST_DEFAULT | TOKEN_ADJUST_SESSIONID, nullptr,
          SecurityImpersonation, TokenPrimary, &duplicated))
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

Waiter& system_waiter() {
  static SleepingWaiter waiter;
  return waiter;
}

}  // namespace tolvex
