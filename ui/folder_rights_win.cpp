#include "ui/folder_rights_win.h"

#include <shellapi.h>

#include <string>

#include "win/process_win.h"
#include "win/scoped_win.h"

namespace tolvex {

const char kUpdateAtOnceArgument[] = "/update";

bool WindowsFolderRights::working_folder_writable() {
  // A name of its own per process and try; deleted when closed, whatever happens.
  for (unsigned attempt = 0; attempt < 8; ++attempt) {
    const std::string name =
        "tolvex-probe-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(attempt) + ".tmp";
    OwnedHandle probe(CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE,
                                  nullptr));
    if (probe.valid()) return true;
    if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) return false;
  }
  return false;
}

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
