#include "win/file_rights_win.h"

#include <windows.h>

#include "win/scoped_win.h"

namespace tolvex {

bool can_create_files_in(const std::string& folder) {
  const std::string prefix = folder.empty() ? std::string() : folder + (folder.back() == '\\' ? "" : "\\");
  // A name of its own per process and try; deleted when closed, whatever happens.
  for (unsigned attempt = 0; attempt < 8; ++attempt) {
    const std::string name =
        prefix + "tolvex-probe-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(attempt) + ".tmp";
    OwnedHandle probe(CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE,
                                  nullptr));
    if (probe.valid()) return true;
    if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) return false;
  }
  return false;
}

bool may_replace_file(const char* name) {
  // Opened for deletion only, sharing everything: nothing is changed, nobody is disturbed.
  OwnedHandle file(CreateFileA(name, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  return file.valid() || GetLastError() != ERROR_ACCESS_DENIED;
}

}  // namespace tolvex
