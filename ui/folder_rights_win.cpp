#include "ui/folder_rights_win.h"

#include <shellapi.h>

#include <string>

#include "win/file_rights_win.h"
#include "win/process_win.h"
#include "win/scoped_win.h"

namespace tolvex {

const char kUpdateAtOnceArgument[] = "/update";

bool WindowsFolderRights::working_folder_writable() { return can_create_files_in(std::string()); }

bool WindowsFolderRights::may_replace(const char* name) { return may_replace_file(name); }

bool WindowsFolderRights::elevated() { return process_elevated(); }

ElevatedStart WindowsFolderRights::start_elevated_update() {
  const std::string program = program_file_path();
  char folder[MAX_PATH + 1] = {};
  const DWORD length = GetCurrentDirectoryA(sizeof folder, folder);
  if (length == 0 || length >= sizeof folder) return ElevatedStart::kFailed;
  SHELLEXECUTEINFOA start = {};
  start.cbSize = sizeof start;
  start.fMask = SEE_MASK_NOASYNC;
  start.hwnd = window_;
  start.lpVerb = "runas";
  start.lpFile = program.c_str();
  start.lpParameters = kUpdateAtOnceArgument;
  start.lpDirectory = folder;
  start.nShow = SW_SHOWNORMAL;
  if (!ShellExecuteExA(&start))
    return GetLastError() == ERROR_CANCELLED ? ElevatedStart::kRefused : ElevatedStart::kFailed;
  // This copy ends; the new one waits for it before it opens its window.
  EndDialog(window_, IDCANCEL);
  return ElevatedStart::kStarted;
}

}  // namespace tolvex
