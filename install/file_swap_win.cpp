#include <windows.h>

#include "base/unique_file.h"
#include "install/file_swap.h"
#include "win/scoped_win.h"

namespace tolvex {

void remove_file(const char* name) { DeleteFileA(name); }

bool rename_file(const char* source, const char* destination) {
  return MoveFileA(source, destination) != FALSE;  // MoveFileA never replaces an existing file
}

bool is_readable(const char* name) { return open_file(name, "rb") != nullptr; }

bool exists(const char* name) { return GetFileAttributesA(name) != INVALID_FILE_ATTRIBUTES; }

bool flush_to_disk(const char* name) {
  OwnedHandle file(
      CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return false;
  return FlushFileBuffers(file.get()) != FALSE;
}

void restore_orphaned_backup(const char* target, const char* backup) {
  // A failure leaves the backup for the swap of that row to put back.
  if (!exists(target) && exists(backup)) (void)rename_file(backup, target);
}

}  // namespace tolvex
