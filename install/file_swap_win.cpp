#include <windows.h>

#include <cstdio>

#include "install/file_swap.h"

namespace tolvex {

void remove_file(const char* name) { DeleteFileA(name); }

bool rename_file(const char* source, const char* destination) {
  return MoveFileA(source, destination) != FALSE;  // MoveFileA never replaces an existing file
}

bool is_readable(const char* name) {
  FILE* file = std::fopen(name, "rb");
  if (file == nullptr) return false;
  std::fclose(file);
  return true;
}

bool exists(const char* name) { return GetFileAttributesA(name) != INVALID_FILE_ATTRIBUTES; }

bool flush_to_disk(const char* name) {
  HANDLE file = CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool flushed = FlushFileBuffers(file) != FALSE;
  CloseHandle(file);
  return flushed;
}

void restore_orphaned_backup(const char* target, const char* backup) {
  if (!exists(target) && exists(backup)) rename_file(backup, target);
}

}  // namespace tolvex
